// The database tree of the main window: filled from "exec sp_help", its objects added to the
// diagram by a double click or a drop; and the control's request for a table's columns,
// answered with "SELECT * FROM %s WHERE 0 = 1" over the object's quoted name.
#include "host/MainForm.h"

#include <QApplication>
#include <QMimeData>
#include <QStyle>

#include "control/QBMSWindow.h"
#include "control/QBTableFunctions.h"
#include "control/QBTableList.h"
#include "diagram/QBFloatPanel.h"
#include "data/DataConnection.h"
#include "data/DataParameters.h"
#include "data/DataQuery.h"
#include "data/DataStoredProc.h"
#include "data/ObjectName.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBImages.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"

namespace {

// Shows the hourglass pointer for its lifetime.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// Closes a query when the scope ends, also on failure.
class TCloseOnExit {
public:
    explicit TCloseOnExit(TDataQuery& query) : FQuery(query) {}
    ~TCloseOnExit() { FQuery.Close(); }
    TCloseOnExit(const TCloseOnExit&) = delete;
    TCloseOnExit& operator=(const TCloseOnExit&) = delete;

private:
    TDataQuery& FQuery;
};

bool IsDefaultOwner(const std::string& owner) { return owner.empty() || owner == "dbo"; }

QIcon TreeIcon(int image) {
    switch (image) {
    case TfmMain::tiTable:
        return QIcon(QBImage("TABLEBMP"));
    case TfmMain::tiView:
        return QApplication::style()->standardIcon(QStyle::SP_FileDialogContentsView);
    default:
        return QApplication::style()->standardIcon(QStyle::SP_FileDialogDetailedView);
    }
}

// The object name a node stands for on the diagram: owner.name unless the owner is dbo.
std::string ObjectName(const QTreeWidgetItem& node) {
    const std::string name = node.data(0, TfmMain::NameRole).toString().toStdString();
    const std::string owner = node.data(0, TfmMain::OwnerRole).toString().toStdString();
    return IsDefaultOwner(owner) ? name : owner + "." + name;
}

}  // namespace

QMimeData* TQBTablesTree::mimeData(const QList<QTreeWidgetItem*>& items) const {
    if (items.size() != 1 || !items.front()->parent()) return nullptr;
    auto* data = new QMimeData;
    data->setText(QString::fromStdString(ObjectName(*items.front())));
    data->setData(QString::fromLatin1(ObjectMimeType), QByteArray());  // marks the drag as the tree's
    return data;
}

void TfmMain::FillTree() {
    if (!Connected()) return;
    FHelpQuery->SetSQL("exec sp_help");
    tvTables->setUpdatesEnabled(false);
    tvTables->clear();
    const auto group = [this](const char* caption, int image) {
        auto* node = new QTreeWidgetItem(tvTables, {QString::fromUtf8(caption)});
        node->setIcon(0, TreeIcon(image));
        node->setData(0, NameRole, QString::fromUtf8(caption));
        node->setData(0, OwnerRole, QString());
        node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        return node;
    };
    QTreeWidgetItem* groups[] = {group(QBResource::SHostTablesGroup, tiTable),
                                 group(QBResource::SHostViewsGroup, tiView),
                                 group(QBResource::SHostFunctionsGroup, tiFunction)};
    try {
        TCloseOnExit closer(*FHelpQuery);
        FHelpQuery->Open();
        const bool systemTables = miShowSystemTables->isChecked();
        for (; !FHelpQuery->Eof(); FHelpQuery->Next()) {
            if (FHelpQuery->FieldCount() < 3) break;
            const std::string name = FHelpQuery->Fields(0).AsString();
            const std::string owner = FHelpQuery->Fields(1).AsString();
            const std::string type = FHelpQuery->Fields(2).AsString();
            int image = -1;
            if (type == "user table" || (type == "system table" && systemTables))
                image = tiTable;
            else if (type == "view")
                image = tiView;
            else if (type == "table function" || type == "inline function")
                image = tiFunction;
            if (image < 0) continue;
            const std::string text = IsDefaultOwner(owner) ? name : name + " (" + owner + ")";
            auto* node = new QTreeWidgetItem(groups[image], {QString::fromStdString(text)});
            node->setIcon(0, TreeIcon(image));
            node->setData(0, NameRole, QString::fromStdString(name));
            node->setData(0, OwnerRole, QString::fromStdString(owner));
            node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
        }
    } catch (...) {
        tvTables->setUpdatesEnabled(true);
        throw;
    }
    for (QTreeWidgetItem* node : groups) node->setExpanded(true);
    tvTables->setUpdatesEnabled(true);
}

bool TfmMain::AddTreeObject(QTreeWidgetItem* node, int x, int y) {
    if (!node || !node->parent() || node->parent()->parent()) return false;
    const TWaitCursor wait;
    TDataParameters params;
    ClosePreview();

    const std::string name = node->data(0, NameRole).toString().toStdString();
    const std::string owner = node->data(0, OwnerRole).toString().toStdString();
    std::string queryName = IsDefaultOwner(owner) ? QuoteName(name) : QuoteName(owner) + "." + QuoteName(name);
    const bool function = tvTables->indexOfTopLevelItem(node->parent()) == tiFunction;
    if (function) {
        DiscoverParameters(queryName, params);
        queryName += ArgumentList(&params);
    }
    TCloseOnExit closer(*FColumnsQuery);
    FColumnsQuery->SetSQL(ColumnsQuery(queryName));
    FColumnsQuery->Open();
    const std::string objectName = ObjectName(*node);
    TQBTable* box = function ? FQueryBuilder->Tables().AddProc(objectName, std::string(), params, FColumnsQuery.get())
                             : FQueryBuilder->Tables().AddTable(objectName, std::string(), FColumnsQuery.get());
    if (box && x != 0 && y != 0) {
        box->SetLeft(x);
        box->SetTop(y);
    }
    return box != nullptr;
}

void TfmMain::DiscoverParameters(const std::string& quotedName, TDataParameters& params) {
    params.Clear();
    FProc->SetProcedureName(quotedName);
    FProc->RefreshParameters();
    const TDataParameters& found = FProc->Parameters();
    for (int i = 0; i < found.Count(); ++i) {
        const TDataParameter& parameter = found.Items(i);
        if (parameter.Direction == ptInput || parameter.Direction == ptInputOutput)
            params.Add(parameter.Name, parameter.DataType, parameter.Direction);
    }
}

void TfmMain::GetTableFields(const std::string& nameOfTable, TDataSet*& dataSet, TDataParameters*& params) {
    const TWaitCursor wait;
    // Columns are read with their own query: the result grid may be showing the preview.
    FColumnsQuery->Close();
    std::string queryName = QuoteObjectName(nameOfTable, NameQuoteFor(*FConnection, FQueryBuilder->AlterQuotes()));
    const TQBTableDef* def = FQueryBuilder->Parser()->GetTableDefs()->FindByTableName(nameOfTable);
    if (def && def->IsProcedure) {
        FProcParams = std::make_unique<TDataParameters>();
        DiscoverParameters(queryName, *FProcParams);
        queryName += ArgumentList(FProcParams.get());
        params = FProcParams.get();
    }
    FColumnsQuery->SetSQL(ColumnsQuery(queryName));
    FColumnsQuery->Open();
    dataSet = FColumnsQuery.get();
}
