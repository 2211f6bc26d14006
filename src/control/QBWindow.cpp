// The query-builder control: construction and teardown, published properties, the pages
// and their visibility, and the statement written in (parse and rebuild) and read out.
#include "control/QBWindow.h"

#include <QBitmap>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include "control/QBStorage.h"
#include "control/QBTableList.h"
#include "data/DataParameters.h"
#include "data/DataSet.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBImages.h"
#include "diagram/QBLinks.h"
#include "diagram/QBModelLink.h"
#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBCriteria.h"
#include "model/QBFunctionDefs.h"
#include "model/QBJoinDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr int SplitterWidth = 5;
constexpr TQBVisibleTab PageOrder[] = {qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting};
const char* const PageCaptions[] = {QBResource::SCriterionsPage, QBResource::SSelectionPage,
                                    QBResource::SGroupCriterionsPage, QBResource::SSortingPage};

// A 16 x 16 resource bitmap whose bottom-left pixel's colour is transparent.
QPixmap MaskedImage(const char* name) {
    QPixmap image = QBImage(name);
    if (image.isNull()) return image;
    const QColor key = image.toImage().pixelColor(0, image.height() - 1);
    image.setMask(image.createMaskFromColor(key, Qt::MaskInColor));
    return image;
}

// True when the comma text of List equals that of the built-in list Builtin, sorted.
bool SameAsBuiltin(const TStringList& list, const std::string& builtinText) {
    TStringList builtin;
    builtin.SetCommaText(builtinText);
    builtin.Sort();
    return builtin.GetCommaText() == list.GetCommaText();
}

// A scanner word list is read sorted.
const TStringList& SortedWords(TStringList& list) {
    list.Sort();
    return list;
}

// A scanner word list takes a copy of Value, in upper case, sorted.
void AssignWords(TStringList& list, const TStringList& value) {
    list.Assign(value);
    UpperCaseStrings(&list);
    list.Sort();
}

}  // namespace

// --- construction and teardown ---

TCustomQueryBuilder::TCustomQueryBuilder(QWidget* parent)
    : QWidget(parent),
      FStorage(std::make_unique<TQBStorage>()),
      FPalette(std::make_unique<TQBPalette>(this)),
      FStyle(std::make_unique<TQBStyle>(this)),
      FImages{MaskedImage("TABLEBMP"), MaskedImage("FIELDBMP")},
      FTableList(std::make_unique<TQBTableList>(nullptr)),
      FLinkList(std::make_unique<TQBLinkList>(nullptr)) {
    resize(300, 340);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FSplitter = new QSplitter(Qt::Vertical, this);
    FSplitter->setHandleWidth(SplitterWidth);
    FSplitter->setChildrenCollapsible(false);
    layout->addWidget(FSplitter);
    FPageControl = new QTabWidget(FSplitter);
    FPageControl->setObjectName("PageCtrl");
    connect(FSplitter, &QSplitter::splitterMoved, this, [this] {
        if (FPageControl->isVisible()) FTabHeight = FPageControl->height();
    });
}

TCustomQueryBuilder::~TCustomQueryBuilder() {
    // Saved first, while everything the diagram and the statement need still exists.
    SaveToStorage();
    FDestroying = true;
    // The pages and their editors go first, while the model they show still exists; then the
    // work area, which takes its links' join definitions out of the model; then the parser.
    delete FPageControl;
    FPageControl = nullptr;
    std::fill(std::begin(FPages), std::end(FPages), nullptr);
    FSelectPanel = nullptr;
    FOrderPanel = nullptr;
    FLinkList.reset();
    FTableList.reset();
    delete FWorkArea;
    FWorkArea = nullptr;
}

std::unique_ptr<TQBSelectParser> TCustomQueryBuilder::CreateParser() { return MakeParser<TQBSelectParser>(); }

void TCustomQueryBuilder::Init() {
    if (FParser) return;
    FParser = CreateParser();
    FWorkArea = new TQBWorkArea(FSplitter, this);
    FSplitter->insertWidget(0, FWorkArea);
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 0);
    FWorkArea->FCheckLinkFieldsType = FCheckLinkFieldsType;
    FWorkArea->SpaceMenu = FWorkAreaPopupMenu;
    FWorkArea->OnTableAdded = [this](TQBWorkArea* sender, TQBTable* table) { TableAdded(sender, table); };
    FWorkArea->OnTableRemoved = [this](TQBWorkArea* sender, TQBTable* table) { TableRemoved(sender, table); };
    FWorkArea->OnTableKeyChanged = [this](TQBTable* table, const std::string& oldKey) {
        TableKeyChanged(table, oldKey);
    };
    FWorkArea->OnFieldCheckChanged = [this](TQBTable* table, TQBListItem* item) { FieldCheckChanged(table, item); };
    FWorkArea->ErrorHook = [this](const QString& text) { ShowError(text); };
    FTableList = std::make_unique<TQBTableList>(FWorkArea);
    FLinkList = std::make_unique<TQBLinkList>(FWorkArea);
    CreatePages();
}

void TCustomQueryBuilder::CreatePages() {
    const QSignalBlocker blocker(FPageControl);
    for (int i = 0; i < 4; ++i) {
        FPages[i] = new QWidget;
        FPages[i]->setObjectName(QString("Page%1").arg(i));
        FPageControl->addTab(FPages[i], QString::fromUtf8(PageCaptions[i]));
    }
    CreateCriteriaPanels();
    CreateSelectOrderPanels();
    ApplyVisibleTabs();
    FShownPage = FPageControl->currentIndex();
    connect(FPageControl, &QTabWidget::currentChanged, this, [this] { PageChanged(); });
}

void TCustomQueryBuilder::Loaded() {
    FLoading = false;
    SetVisibleTabs(FLoadedVisibleTabs);
    LoadFromStorage();
}

// --- errors inside event handlers ---

void TCustomQueryBuilder::ShowError(const QString& text) {
    if (ErrorHook) {
        ErrorHook(text);
        return;
    }
    QMessageBox::critical(this, QString(), text);
}

template <typename F>
void TCustomQueryBuilder::Guarded(F&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        if (FUpdating) EndUpdate();
        ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
        if (FUpdating) EndUpdate();
        ShowError(QString::fromUtf8(FormatMessage(QBResource::SQBParserUnknownError, "0").c_str()));
    }
}

// --- properties ---

void TCustomQueryBuilder::SetOptions(TQBOptions value) {
    if (FOptions == value) return;
    FOptions = value;
    if (FWorkArea) FWorkArea->viewport()->update();
}

const TStringList& TCustomQueryBuilder::Aggregates() const { return FParser->GetAggregateNames(); }

void TCustomQueryBuilder::SetAggregates(const TStringList& value) { FParser->GetAggregateNames().Assign(value); }

bool TCustomQueryBuilder::AggregatesStored() const {
    return FParser && !SameAsBuiltin(FParser->GetAggregateNames(), FParser->GetAggregatesText());
}

const TStringList& TCustomQueryBuilder::Functions() const { return SortedWords(FParser->GetScanner()->GetFunctions()); }

void TCustomQueryBuilder::SetFunctions(const TStringList& value) {
    AssignWords(FParser->GetScanner()->GetFunctions(), value);
}

bool TCustomQueryBuilder::FunctionsStored() const {
    return FParser && !SameAsBuiltin(Functions(), FParser->GetScanner()->GetFunctionsText());
}

const TStringList& TCustomQueryBuilder::Keywords() const { return SortedWords(FParser->GetScanner()->GetKeywords()); }

void TCustomQueryBuilder::SetKeywords(const TStringList& value) {
    AssignWords(FParser->GetScanner()->GetKeywords(), value);
}

bool TCustomQueryBuilder::KeywordsStored() const {
    return FParser && !SameAsBuiltin(Keywords(), FParser->GetScanner()->GetKeywordsText());
}

TQBOperators& TCustomQueryBuilder::Operators() const { return *FParser->GetOperators(); }

void TCustomQueryBuilder::SetOperators(const TQBOperators& value) {
    RefreshOperatorCaptions();
    FParser->GetOperators()->Assign(value);
    RebindOperators();
}

TQBScriptFormat& TCustomQueryBuilder::ScriptFormat() const { return FParser->GetScriptFormat(); }

void TCustomQueryBuilder::SetScriptFormat(const TQBScriptFormat& value) { FParser->SetScriptFormat(value); }

void TCustomQueryBuilder::SetWorkAreaPopupMenu(QMenu* menu) {
    FWorkAreaPopupMenu = menu;
    if (FWorkArea) FWorkArea->SpaceMenu = menu;
}

void TCustomQueryBuilder::SetTabHeight(int value) {
    if (value == FTabHeight) return;
    FTabHeight = value;
    ApplyTabHeight();
}

void TCustomQueryBuilder::ApplyTabHeight() {
    FSplitter->setSizes({std::max(1, FSplitter->height() - FTabHeight - SplitterWidth), FTabHeight});
}

bool TCustomQueryBuilder::CaseSensitiveIdentifiers() const {
    return FParser ? FParser->GetCaseSensitiveIdentifiers() : true;
}

void TCustomQueryBuilder::SetCaseSensitiveIdentifiers(bool value) {
    if (!FParser) return;
    if (!value && FParser->GetCaseSensitiveIdentifiers()) {
        const std::string clash = KeyClashIgnoringCase();
        if (!clash.empty()) throw EQBException(KeyInUseMessage(clash));
    }
    FParser->SetCaseSensitiveIdentifiers(value);
}

std::string TCustomQueryBuilder::KeyClashIgnoringCase() const {
    std::vector<std::string> keys;
    for (int i = 0; i < Tables().Count(); ++i) keys.push_back(Tables().Items(i)->Key());
    if (FParser) {
        const TQBTableDefs& defs = *FParser->GetTableDefs();
        std::vector<std::string> aliases;
        for (int i = 0; i < defs.Count(); ++i)
            if (!defs.Items(i)->IsBlank()) aliases.push_back(defs.Items(i)->GetAlias());
        // The model's sources are checked among themselves: each box has one of them.
        for (size_t a = 0; a < aliases.size(); ++a)
            for (size_t b = a + 1; b < aliases.size(); ++b)
                if (SameText(aliases[a], aliases[b])) return aliases[b];
    }
    for (size_t a = 0; a < keys.size(); ++a)
        for (size_t b = a + 1; b < keys.size(); ++b)
            if (SameText(keys[a], keys[b])) return keys[b];
    return {};
}

std::string TCustomQueryBuilder::KeyInUseMessage(const std::string& key) {
    return std::string(QBResource::STableAlias) + " " + key + " " + QBResource::SAlreadyExists;
}

bool TCustomQueryBuilder::CheckLinkFieldsType() const {
    return FWorkArea ? FWorkArea->FCheckLinkFieldsType : FCheckLinkFieldsType;
}

void TCustomQueryBuilder::SetCheckLinkFieldsType(bool value) {
    FCheckLinkFieldsType = value;
    if (FWorkArea) FWorkArea->FCheckLinkFieldsType = value;
}

TQBParserErrorEvent TCustomQueryBuilder::GetOnParserError() const {
    return FParser ? FParser->OnParserError : TQBParserErrorEvent();
}

void TCustomQueryBuilder::SetOnParserError(TQBParserErrorEvent handler) {
    if (FParser) FParser->OnParserError = std::move(handler);
}

// --- pages ---

void TCustomQueryBuilder::SetVisibleTabs(TQBVisibleTabs value) {
    if (FLoading) {
        FLoadedVisibleTabs = value;
        return;
    }
    if (value == FVisibleTabs) return;
    FVisibleTabs = value;
    ApplyVisibleTabs();
}

void TCustomQueryBuilder::ApplyVisibleTabs() {
    if (!FPages[0]) return;
    {
        const QSignalBlocker blocker(FPageControl);
        for (int i = 0; i < 4; ++i) FPageControl->setTabVisible(i, FVisibleTabs.Contains(PageOrder[i]));
    }
    // Hiding the page control hides the splitter handle above it too.
    FPageControl->setVisible(!FVisibleTabs.Empty());
    if (!FVisibleTabs.Empty()) {
        ApplyTabHeight();
        ActivateFirstVisiblePage();
    }
}

void TCustomQueryBuilder::ActivateFirstVisiblePage() {
    for (int i = 0; i < 4; ++i) {
        if (!FVisibleTabs.Contains(PageOrder[i])) continue;
        if (FPageControl->currentIndex() == i)
            PageChanged();
        else
            FPageControl->setCurrentIndex(i);
        return;
    }
}

int TCustomQueryBuilder::ActivePage() const {
    if (!FPageControl || FVisibleTabs.Empty()) return -1;
    const int index = FPageControl->currentIndex();
    if (index < 0 || index > 3 || !FVisibleTabs.Contains(PageOrder[index])) return -1;
    return PageOrder[index];
}

void TCustomQueryBuilder::PageChanged() {
    if (FDestroying) return;
    if (FShownPage != FPageControl->currentIndex() && !CanChangePage()) {
        const QSignalBlocker blocker(FPageControl);
        FPageControl->setCurrentIndex(FShownPage);
        return;
    }
    FShownPage = FPageControl->currentIndex();
    Guarded([this] { RefreshActiveTab(); });
}

void TCustomQueryBuilder::RefreshActiveTab() {
    if (FDestroying) return;
    if (FUpdating) {
        // Reloaded once when the update ends.
        FRefreshPending = true;
        return;
    }
    const int page = ActivePage();
    if (page >= 0) ReloadPage(static_cast<TQBVisibleTab>(page));
}

void TCustomQueryBuilder::RefreshIfActive(std::initializer_list<TQBVisibleTab> pages) {
    const int active = ActivePage();
    for (TQBVisibleTab page : pages)
        if (page == active) {
            RefreshActiveTab();
            return;
        }
}

void TCustomQueryBuilder::ReloadPage(TQBVisibleTab page) {
    if (page == qbtSelection || page == qbtSorting) ReloadSelectOrderPage(page);
    if (page == qbtCriterions || page == qbtGroupCriterions) ReloadCriteriaPage(page);
}

void TCustomQueryBuilder::contextMenuEvent(QContextMenuEvent* event) {
    QRect pages = FPageControl->geometry();
    pages.moveTopLeft(FPageControl->mapTo(this, QPoint(0, 0)));
    if (FTabsPopupMenu && FPageControl->isVisible() && pages.contains(event->pos())) {
        FTabsPopupMenu->popup(event->globalPos());
        event->accept();
        return;
    }
    event->ignore();
}

// --- update bracket and the work area's questions ---

void TCustomQueryBuilder::BeginUpdate() {
    FUpdating = true;
    if (FWorkArea) FWorkArea->SuspendPaint();
}

void TCustomQueryBuilder::EndUpdate() {
    FUpdating = false;
    if (FWorkArea) FWorkArea->ResumePaint();
    if (FRefreshPending) {
        FRefreshPending = false;
        RefreshActiveTab();
    }
}

bool TCustomQueryBuilder::DoAddRemoveTable(TQBTable* table, TQBAction action) {
    bool accept = true;
    if (OnAddRemoveTable) OnAddRemoveTable(this, table, action, accept);
    return accept;
}

bool TCustomQueryBuilder::DoAddRemoveLink(TQBLink* link, TQBAction action) {
    bool accept = true;
    if (OnAddRemoveLink) OnAddRemoveLink(this, link, action, accept);
    return accept;
}

void TCustomQueryBuilder::DoEnterProcParameter(TQBTable* procedure, TQBListItem* item) {
    if (OnEnterProcParameter) OnEnterProcParameter(this, procedure, item);
}

void TCustomQueryBuilder::AppearanceChanged(TQBAppearanceArea area) {
    if (FLoading || FDesigning) return;
    RepaintArea(area);
}

void TCustomQueryBuilder::RepaintArea(TQBAppearanceArea area) {
    if (area == TQBAppearanceArea::WorkArea && FWorkArea) FWorkArea->viewport()->update();
    if (area == TQBAppearanceArea::ConditionPanels) RepaintCriteriaPanels();
}

// --- the statement ---

std::string TCustomQueryBuilder::GetSQL() const { return FParser ? FParser->GetSQL() : std::string(); }

void TCustomQueryBuilder::Clear() {
    if (!FParser) return;  // Init not run: nothing to clear
    ClearCriteriaPanels();  // before the criteria their rows point to go
    FParser->Clear();
    FWorkArea->Clear();
    ClearSelectOrderPanels();
    // Activating the first visible page reloads it (a page change, or a refresh when it is
    // already the active one).
    ActivateFirstVisiblePage();
    FWorkArea->viewport()->update();
}

void TCustomQueryBuilder::SetSQL(const std::string& text) {
    if (!FParser) return;
    BeginUpdate();
    try {
        Clear();
        FParser->ParseSQL(text);
        if (BuildBoxes()) {
            BuildLinks();
            ReloadPage(qbtSelection);
            ReloadPage(qbtSorting);
            RefreshActiveTab();
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

bool TCustomQueryBuilder::BuildBoxes() {
    TQBTableDefs& defs = *FParser->GetTableDefs();
    TDataParameters params;
    bool stop = false;
    for (int i = 0; i < defs.Count() && !stop; ++i) {
        TQBTableDef& def = *defs.Items(i);
        if (def.IsBlank()) continue;
        if (!BuildBox(def, params, stop)) return false;
    }
    return true;
}

namespace {

bool IsInputDirection(TParamType type) { return type == ptInput || type == ptInputOutput; }

// The procedure's parameters as parsed: one input entry per input field, value kept.
void ParsedParameters(const TQBTableDef& def, TDataParameters& params) {
    params.Clear();
    if (!def.IsProcedure) return;
    const TQBFieldDefs& fields = def.Fields();
    for (int f = 0; f < fields.Count(); ++f) {
        const TQBFieldDef& field = *fields.Items(f);
        if (!field.IsInputParam()) continue;
        params.Add(field.Name, field.DataType, ptInput).SetValue(field.Value);
    }
}

// The host's parameters rename the parsed ones in order (values kept; name, type and
// direction the host's) or are appended; parsed entries beyond the host's input parameters
// are dropped.
void MergeHostParameters(const TDataParameters* host, TDataParameters& params) {
    if (!host) {
        params.Clear();
        return;
    }
    int k = 0;
    for (int i = 0; i < host->Count(); ++i) {
        const TDataParameter& given = host->Items(i);
        if (!IsInputDirection(given.Direction)) continue;
        if (k < params.Count()) {
            params.Items(k).Name = given.Name;
            params.Items(k).DataType = given.DataType;
            params.Items(k).Direction = given.Direction;
        } else {
            params.AddCopy(given);
        }
        ++k;
    }
    while (params.Count() > k) params.Delete(params.Count() - 1);
}

}  // namespace

bool TCustomQueryBuilder::BuildBox(TQBTableDef& def, TDataParameters& params, bool& stop) {
    ParsedParameters(def, params);
    TDataSet* dataSet = nullptr;
    TDataParameters* hostParams = nullptr;
    if (OnGetTableFields) OnGetTableFields(def.GetTableName(), dataSet, hostParams);
    if (!dataSet) {
        stop = true;
        return true;
    }
    const TQBSelectParser* parser = FParser.get();
    def.AdoptQueryFields([dataSet, parser](const std::string& name) {
        for (int f = 0; f < dataSet->FieldCount(); ++f)
            if (ModelSameName(parser, dataSet->Fields(f).FieldName(), name)) return true;
        return false;
    });
    MergeHostParameters(hostParams, params);
    TQBTable* box = def.IsProcedure ? Tables().AddProc(def.GetTableName(), def.GetAlias(), params, dataSet)
                                    : Tables().AddTable(def.GetTableName(), def.GetAlias(), dataSet);
    if (!box) return true;
    if (box->Name() != def.GetAlias()) box->SetAlias(def.GetAlias());

    TQBFieldDefs& fields = def.Fields();
    for (int f = 0; f < fields.Count(); ++f) {
        TQBFieldDef& field = *fields.Items(f);
        if (field.Name == "*") continue;
        TQBListItem* line = box->FindItem(field.Name);
        if (!line) {
            if (field.Kind != fkField) continue;
            const std::string name = field.Name;
            fields.Delete(f);
            FParser->ReportParserError(qpeFieldNotFound, name, 1, static_cast<int>(name.size()) + 1);
            return false;
        }
        // A parameter line shows whether it has a value, input/output ones included.
        const bool tick = !(field.IsInputParam() && field.Value.IsUnassigned());
        line->FBusy = true;
        line->SetChecked(tick);
        line->FBusy = false;
    }
    FParser->GetTableDefs()->FixDuplicateAliases();
    return true;
}

void TCustomQueryBuilder::BuildLinks() {
    const TQBJoinDefs& joins = *FParser->GetJoinDefs();
    for (int i = 0; i < joins.Count(); ++i) {
        const TQBJoinDef& join = *joins.Items(i);
        TQBTable* left = Tables().FindTable(join.LeftTable);
        TQBTable* right = Tables().FindTable(join.RightTable);
        if (!left || !right || left == right || join.LeftField.empty() || join.RightField.empty()) continue;
        TQBListItem* leftLine = left->FindItem(join.LeftField);
        TQBListItem* rightLine = right->FindItem(join.RightField);
        if (!leftLine || !rightLine) continue;
        TQBLink* link = FWorkArea->AddLink(left, right, leftLine, rightLine);
        if (!link) continue;
        int type = join.JoinType;
        // A join the work area listed the other way round keeps its meaning: the outer side
        // is the same table, so LEFT and RIGHT trade places, and the comparison reads from
        // the other side.
        const bool reversed = link->Join()->Table0 != left;
        if (reversed) type = type == 1 ? 2 : type == 2 ? 1 : type;
        link->Join()->JoinType = type;
        link->FOperator = reversed ? MirrorComparison(join.Operator) : join.Operator;
    }
}

TQBTable* TCustomQueryBuilder::BoxByKey(const std::string& key) const { return Tables().FindTable(key); }
