// TCustomQueryBuilder, the composite query-builder control: it owns the parser (and with it
// the query model), the diagram surface above a splitter, the four clause pages below it and
// the appearance settings, and keeps diagram, pages and model consistent in both directions.
// Writing SQL parses the text and rebuilds the diagram, asking the host for each table's
// columns; every change on the diagram changes the model at once; reading SQL regenerates the
// statement. Construction is two-step (constructor, then Init) so that a dialect's
// CreateParser is the one called.
#pragma once

#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "diagram/QBAppearance.h"
#include "diagram/QBDialogRunner.h"
#include "diagram/QBTypes.h"
#include "diagram/QBWorkAreaOwner.h"
#include "lexer/QBParserError.h"

class QMimeData;
class QSplitter;
class QTabWidget;
class TDataParameters;
class TDataSet;
class TQBLink;
class TQBLinkList;
class TQBListItem;
class TQBOperators;
class TQBOrderPanel;
class TQBScriptFormat;
class TQBSelectPanel;
class TQBSelectParser;
class TQBStorage;
class TQBTable;
class TQBTableDef;
class TQBTableList;
class TQBCriterionPanel;
class TQBWherePanel;
class TQBHavingPanel;
class TQBWorkArea;
class TStringList;

using TAddRemoveTableEvent = std::function<void(QObject* sender, TQBTable* table, TQBAction action, bool& accept)>;
using TAddRemoveLinkEvent = std::function<void(QObject* sender, TQBLink* link, TQBAction action, bool& accept)>;
// Asks the host for the columns of NameOfTable (exactly as parsed). The host points DataSet at
// an open data set whose fields are the columns, and for a procedure or table function may
// point Params at its parameter list; both stay the host's, the control copies what it needs.
using TGetTableFieldsEvent =
    std::function<void(const std::string& nameOfTable, TDataSet*& dataSet, TDataParameters*& params)>;
using TEnterProcParameter = std::function<void(QObject* sender, TQBTable* procedure, TQBListItem* item)>;
// Drags handed over by the work area; X and Y are the control's client coordinates, Sender
// is the work area. Source is the drag's source object (null when it lies outside the
// program) and Data what it carries.
using TDragOverEvent = std::function<void(QObject* sender, QObject* source, const QMimeData* data, int x, int y,
                                          TDragState state, bool& accept)>;
using TDragDropEvent = std::function<void(QObject* sender, QObject* source, const QMimeData* data, int x, int y)>;
// A field line of the diagram dropped on Target (null: nowhere in the program).
using TEndDragEvent = std::function<void(QObject* sender, QObject* target, int x, int y)>;

class TCustomQueryBuilder : public QWidget, public TQBWorkAreaOwner, public TQBAppearanceOwner {
    Q_OBJECT

public:
    explicit TCustomQueryBuilder(QWidget* parent = nullptr);
    ~TCustomQueryBuilder() override;

    // Creates the parser (through CreateParser), the work area and the pages; call once.
    virtual void Init();
    // Applies what was set while loading (the visible tabs).
    virtual void Loaded();

    // --- the statement ---
    // The statement generated from the model (nothing is cached).
    virtual std::string GetSQL() const;
    // Parses Text and rebuilds diagram and pages from the model. Parse errors go to
    // OnParserError when assigned, else leave as EQBParserError; the update always ends.
    virtual void SetSQL(const std::string& text);
    // Empties model, diagram and pages.
    void Clear();
    // Reloads the editor on the active page from the model.
    void RefreshActiveTab();
    // Before the operator table is replaced: the criterion rows keep their operators' names.
    virtual void RefreshOperatorCaptions();
    // After it was replaced: the rows take the new table's operators of those names.
    virtual void RebindOperators();

    // --- owned parts ---
    TQBSelectParser* Parser() const override { return FParser.get(); }
    TQBWorkArea* WorkArea() const { return FWorkArea; }
    TQBTableList& Tables() const { return *FTableList; }
    TQBLinkList& Links() const { return *FLinkList; }
    QTabWidget* PageControl() const { return FPageControl; }
    QSplitter* Splitter() const { return FSplitter; }
    // The page of a tab (the panel's parent), by its member of the visible-tabs set.
    QWidget* Page(TQBVisibleTab tab) const { return FPages[tab]; }
    // The panels of the selection and sorting pages.
    TQBSelectPanel* SelectPanel() const { return FSelectPanel; }
    TQBOrderPanel* OrderPanel() const { return FOrderPanel; }
    // TABLEBMP and FIELDBMP, 16 x 16, masked by the colour of their bottom-left pixel.
    const std::vector<QPixmap>& Images() const { return FImages; }
    // The editors of the criteria and grouping-criteria pages (null before Init).
    TQBWherePanel* WherePanel() const { return FWherePanel; }
    TQBHavingPanel* HavingPanel() const { return FHavingPanel; }

    // --- published properties ---
    std::string About() const { return {}; }
    void SetAbout(const std::string&) {}
    std::string Version() const { return "2.95"; }
    void SetVersion(const std::string&) {}

    TQBPalette& Palette() { return *FPalette; }
    const TQBPalette& Palette() const override { return *FPalette; }
    void SetPalette(const TQBPalette& value) { FPalette->Assign(value); }
    TQBStyle& Style() { return *FStyle; }
    const TQBStyle& Style() const { return *FStyle; }
    void SetStyle(const TQBStyle& value) { FStyle->Assign(value); }
    const TQBObjectStyle& ObjectStyle() const override { return FStyle->GetObjectStyle(); }
    TQBOptions Options() const override { return FOptions; }
    void SetOptions(TQBOptions value);

    // The parser's aggregate names; assignment copies the lines.
    const TStringList& Aggregates() const;
    void SetAggregates(const TStringList& value);
    bool AggregatesStored() const;
    // The scanner's function and keyword lists, sorted; assignment upper-cases and sorts.
    const TStringList& Functions() const;
    void SetFunctions(const TStringList& value);
    bool FunctionsStored() const;
    const TStringList& Keywords() const;
    void SetKeywords(const TStringList& value);
    bool KeywordsStored() const;
    TQBOperators& Operators() const;
    void SetOperators(const TQBOperators& value);
    TQBScriptFormat& ScriptFormat() const;
    void SetScriptFormat(const TQBScriptFormat& value);

    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int value);
    TQBVisibleTabs VisibleTabs() const { return FVisibleTabs; }
    void SetVisibleTabs(TQBVisibleTabs value);
    // The parser's name comparison flag; True when there is no parser.
    bool CaseSensitiveIdentifiers() const;
    // Turning case sensitivity off is refused (EQBException) while two boxes or table
    // sources have keys that differ only in letter case: the diagram never holds equal keys.
    void SetCaseSensitiveIdentifiers(bool value);
    // A key that equals another one when letter case is ignored; empty when there is none.
    std::string KeyClashIgnoringCase() const;
    // The message that refuses Key because another box has it already.
    static std::string KeyInUseMessage(const std::string& key);
    bool CheckLinkFieldsType() const;
    void SetCheckLinkFieldsType(bool value);
    QMenu* WorkAreaPopupMenu() const { return FWorkAreaPopupMenu; }
    // Handed to the work area, which opens it on a right click over empty space.
    void SetWorkAreaPopupMenu(QMenu* menu);
    // Shown on a context-menu request over the page control only.
    QMenu* TabsPopupMenu() const { return FTabsPopupMenu; }
    void SetTabsPopupMenu(QMenu* menu) { FTabsPopupMenu = menu; }

    // Where the diagram is loaded from by Loaded and saved to on destruction; assignment copies.
    TQBStorage& Storage() const { return *FStorage; }
    void SetStorage(const TQBStorage& value);

    // --- saving and loading the diagram (statement, box places, link points) ---
    // Each returns false after showing the error (through ErrorHook when set) when the store
    // cannot be read or written; a failed load leaves the diagram as it was.
    bool SaveDiagramToIniFile(const std::string& fileName, bool includeSQL);
    bool LoadDiagramFromIniFile(const std::string& fileName, bool includeSQL);
    bool SaveDiagramToRegistry(std::uint32_t root, const std::string& path, bool includeSQL);
    bool LoadDiagramFromRegistry(std::uint32_t root, const std::string& path, bool includeSQL);

    // The parser's error event (its Sender is the parser).
    TQBParserErrorEvent GetOnParserError() const;
    void SetOnParserError(TQBParserErrorEvent handler);

    TGetTableFieldsEvent OnGetTableFields;
    TAddRemoveTableEvent OnAddRemoveTable;
    TAddRemoveLinkEvent OnAddRemoveLink;
    TEnterProcParameter OnEnterProcParameter;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    // The diagram point under X, Y (control client coordinates): where a dropped table's
    // box goes (SetLeft, SetTop).
    TPoint DiagramPoint(int x, int y) const;

    // --- update bracket (a flag, not a counter) ---
    void BeginUpdate();
    // Ends the update; a page reload asked for meanwhile happens now, once.
    void EndUpdate();
    bool Updating() const { return FUpdating; }
    // While loading (or designing) appearance changes store their values without repainting.
    bool Loading() const { return FLoading; }
    void SetLoading(bool value) { FLoading = value; }
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool value) { FDesigning = value; }

    // --- what the work area asks ---
    bool DoAddRemoveTable(TQBTable* table, TQBAction action) override;
    bool DoAddRemoveLink(TQBLink* link, TQBAction action) override;
    bool DoDragOver(QObject* source, const QMimeData* data, const TPoint& point, TDragState state) override;
    void DoDragDrop(QObject* source, const QMimeData* data, const TPoint& point) override;
    void DoEndDrag(QObject* target, const TPoint& point) override;
    // Fires OnEnterProcParameter with the control as sender.
    void DoEnterProcParameter(TQBTable* procedure, TQBListItem* item) override;
    void AppearanceChanged(TQBAppearanceArea area) override;

    // --- the work area's notifications: the model follows the diagram ---
    void TableAdded(TQBWorkArea* sender, TQBTable* table);
    void TableRemoved(TQBWorkArea* sender, TQBTable* table);
    void TableKeyChanged(TQBTable* table, const std::string& oldKey);
    void FieldCheckChanged(TQBTable* table, TQBListItem* item);

    // --- the selection grid's hooks: the select list follows the grid's rows ---
    // A row got Source (with Aggregate): its field is added, the column's line ticked.
    void SelectFieldAssigned(const std::string& source, const std::string& aggregate,
                             const std::string& outputName, bool tick);
    // A row's content is about to be replaced: its field goes, the line is unticked on Untick.
    void SelectFieldReleased(const std::string& source, const std::string& aggregate,
                             const std::string& outputName, bool untick);
    // A row was deleted: its field goes, the line is unticked on Untick.
    void SelectRowDeleted(const std::string& source, const std::string& aggregate,
                          const std::string& outputName, bool untick);
    // A row's output name changes; NewName comes back unique (or the old name when blank).
    void SelectOutputNameChanged(const std::string& source, const std::string& oldName, std::string& newName);
    // "key.column" of every column line of every box, front box first.
    void FillSourceFieldList(TStringList& list) const;
    // What the sorting page may offer, each text once.
    void FillSortCandidates(TQBOrderPanel* panel, TStringList& list) const;

    // The box whose key is Key; null for a blank key (never "the only box").
    TQBTable* BoxByKey(const std::string& key) const;

    // Shows an error raised inside an event handler; the hook replaces the message box.
    void ShowError(const QString& text);
    std::function<void(const QString&)> ErrorHook;

protected:
    virtual std::unique_ptr<TQBSelectParser> CreateParser();
    // Repaints the parts of the control that show Area.
    virtual void RepaintArea(TQBAppearanceArea area);
    // Reloads the editor of one page from the model (the editors fill the pages).
    virtual void ReloadPage(TQBVisibleTab page);
    // Asks the editors whether the active page may change (a chooser still open says no).
    virtual bool CanChangePage();
    // The index of the active page's tab member, or -1 when no page is active.
    int ActivePage() const;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void CreatePages();
    // The selection and sorting panels on their pages, wired to the handlers.
    void CreateSelectOrderPanels();
    void ClearSelectOrderPanels();
    void ReloadSelectOrderPage(TQBVisibleTab page);
    // Takes the field a grid row shows out of the model; Replacing remembers where it stood.
    void RemoveSelectField(const std::string& source, const std::string& outputName, bool untick, bool replacing);
    void ApplyVisibleTabs();
    // Gives the page control its height below the splitter.
    void ApplyTabHeight();
    void ActivateFirstVisiblePage();
    void PageChanged();
    // Creates the boxes of SetSQL; false when a column of the statement was not found.
    bool BuildBoxes();
    // Creates the box of one table definition; false when the rebuild must stop.
    bool BuildBox(TQBTableDef& def, TDataParameters& params, bool& stop);
    void BuildLinks();
    // The criterion panels (QBWindowCriteria.cpp): made on their pages, reloaded, cleared.
    void CreateCriteriaPanels();
    void ReloadCriteriaPage(TQBVisibleTab page);
    void ClearCriteriaPanels();
    void RepaintCriteriaPanels();
    void RefreshIfActive(std::initializer_list<TQBVisibleTab> pages);
    // Runs Body; an exception ends as a message, never inside the event loop.
    template <typename F>
    void Guarded(F&& body);
    // Runs a storage operation: true when it succeeded, else false after showing its error.
    bool StorageCall(const std::function<void()>& body);
    // The automatic load (in Loaded) and save (on destruction) through Storage.
    void LoadFromStorage();
    void SaveToStorage();

    std::unique_ptr<TQBSelectParser> FParser;
    std::unique_ptr<TQBStorage> FStorage;
    std::unique_ptr<TQBPalette> FPalette;
    std::unique_ptr<TQBStyle> FStyle;
    TQBOptions FOptions{qboRowSelect};
    std::vector<QPixmap> FImages;
    QSplitter* FSplitter = nullptr;  // child widgets
    QTabWidget* FPageControl = nullptr;
    TQBWorkArea* FWorkArea = nullptr;
    QWidget* FPages[4] = {};
    TQBSelectPanel* FSelectPanel = nullptr;  // children of their pages
    TQBOrderPanel* FOrderPanel = nullptr;
    // A selection row whose field was released to be assigned anew: its place, its typed
    // output name and its ORDER BY entry carry over to the row's next field.
    struct TReplacedSelectField {
        int Row = -1;  // the grid row
        std::string Alias;
        bool Typed = false;
        int SelectIndex = -1;
        int OrderIndex = -1;
        int OrderDirection = 0;
    };
    std::optional<TReplacedSelectField> FReplacedField;
    TQBWherePanel* FWherePanel = nullptr;  // children of their pages
    TQBHavingPanel* FHavingPanel = nullptr;
    int FShownPage = -1;  // the page index shown before a change, to go back to when refused
    std::unique_ptr<TQBTableList> FTableList;
    std::unique_ptr<TQBLinkList> FLinkList;
    QPointer<QMenu> FWorkAreaPopupMenu;
    QPointer<QMenu> FTabsPopupMenu;
    int FTabHeight = 170;
    TQBVisibleTabs FVisibleTabs{qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting};
    TQBVisibleTabs FLoadedVisibleTabs{qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting};
    bool FUpdating = false;
    bool FRefreshPending = false;
    bool FLoading = false;
    bool FDesigning = false;
    bool FDestroying = false;
    bool FCheckLinkFieldsType = true;  // held here until the work area exists
};

// Constructs a control of class T under Parent and runs its Init.
template <typename T>
T* CreateQueryBuilder(QWidget* parent = nullptr) {
    auto* control = new T(parent);
    control->Init();
    return control;
}
