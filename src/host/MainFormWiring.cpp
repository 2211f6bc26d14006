// The main window's answers to the control that go beyond tables and text: tree objects
// dragged onto the diagram, the options dialog, procedure parameter values, and the hidden
// diagram-file commands.
#include "host/MainForm.h"

#include <QAction>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTabWidget>

#include "control/QBMSWindow.h"
#include "control/QBStorage.h"
#include "diagram/ParamForm.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"

void TfmMain::WireControl() {
    // A drag over the diagram is welcome when it comes from the tree with an object selected.
    FQueryBuilder->OnDragOver = [this](QObject*, QObject* source, const QMimeData* data, int, int, TDragState,
                                       bool& accept) { accept = TreeDragSelection(source, data) != nullptr; };
    FQueryBuilder->OnDragDrop = [this](QObject*, QObject* source, const QMimeData* data, int x, int y) {
        QTreeWidgetItem* node = TreeDragSelection(source, data);
        if (!node) return;
        const TPoint point = x != 0 && y != 0 ? FQueryBuilder->DiagramPoint(x, y) : TPoint{0, 0};
        if (AddTreeObject(node, point.X, point.Y)) SetMemoText(FQueryBuilder->GetSQL());
    };
    FQueryBuilder->OnEnterProcParameter = [this](QObject*, TQBTable*, TQBListItem* item) {
        EditProcParameter(item, FQueryBuilder->WorkArea()->ModalHook);
    };

    miOptions->setEnabled(true);
    connect(miOptions, &QAction::triggered, this,
            [this] { FQueryBuilder->WorkArea()->Guard([this] { FQueryBuilder->ShowOptionsDialog(); }); });

    // The diagram commands stay hidden (the window is driven by ShowQueryBuilder); they work
    // when invoked, on the builder page only.
    for (QAction* action : {miLoadDiagram, miSaveDiagram}) action->setEnabled(true);
    connect(miLoadDiagram, &QAction::triggered, this,
            [this] { FQueryBuilder->WorkArea()->Guard([this] { LoadDiagramFile(); }); });
    connect(miSaveDiagram, &QAction::triggered, this,
            [this] { FQueryBuilder->WorkArea()->Guard([this] { SaveDiagramFile(); }); });
}

QTreeWidgetItem* TfmMain::TreeDragSelection(QObject* source, const QMimeData* data) const {
    // The drag's source is the tree in a real drag; events sent without a drag loop carry no
    // source, and the tree's own format tells them apart from foreign drags.
    const bool fromTree = source ? source == tvTables || source == tvTables->viewport()
                                 : data && data->hasFormat(QString::fromLatin1(TQBTablesTree::ObjectMimeType));
    if (!fromTree) return nullptr;
    QTreeWidgetItem* node = tvTables->currentItem();
    return node && node->parent() && !node->parent()->parent() ? node : nullptr;
}

bool TfmMain::LoadDiagramFile() {
    if (Pages->currentIndex() != pgBuilder) return false;
    const TQBFileDialogSettings settings = DiagramFileDialogSettings(false);
    const QString file = AskFileName(false, settings.Title, settings.Filter, settings.DefaultSuffix);
    if (file.isEmpty()) return false;
    if (!FQueryBuilder->LoadDiagramFromIniFile(QFile::encodeName(file).toStdString(), true)) return false;
    SetMemoText(FQueryBuilder->GetSQL());
    return true;
}

bool TfmMain::SaveDiagramFile() {
    if (Pages->currentIndex() != pgBuilder) return false;
    const TQBFileDialogSettings settings = DiagramFileDialogSettings(true);
    const QString file = AskFileName(true, settings.Title, settings.Filter, settings.DefaultSuffix);
    if (file.isEmpty()) return false;
    return FQueryBuilder->SaveDiagramToIniFile(QFile::encodeName(file).toStdString(), true);
}
