// TCustomQueryBuilder, the composite query-builder control: it owns the parser (and with it
// the query model), the diagram surface and the appearance settings, and keeps the model in
// step with what the user does on the diagram. Construction is two-step (constructor, then
// Init) so that a dialect's CreateParser is the one called.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "control/QBAppearance.h"
#include "control/QBTypes.h"

class TQBLink;
class TQBListItem;
class TQBSelectParser;
class TQBTable;
class TQBWorkArea;

using TAddRemoveTableEvent = std::function<void(QObject* sender, TQBTable* table, TQBAction action, bool& accept)>;
using TAddRemoveLinkEvent = std::function<void(QObject* sender, TQBLink* link, TQBAction action, bool& accept)>;

class TCustomQueryBuilder : public QWidget {
    Q_OBJECT

public:
    explicit TCustomQueryBuilder(QWidget* parent = nullptr);
    ~TCustomQueryBuilder() override;

    // Creates the parser (through CreateParser) and the work area; call once after construction.
    virtual void Init();

    TQBSelectParser* Parser() const { return FParser.get(); }
    TQBWorkArea* WorkArea() const { return FWorkArea; }

    TQBPalette& Palette() { return *FPalette; }
    const TQBPalette& Palette() const { return *FPalette; }
    void SetPalette(const TQBPalette& value) { FPalette->Assign(value); }
    TQBStyle& Style() { return *FStyle; }
    const TQBStyle& Style() const { return *FStyle; }
    void SetStyle(const TQBStyle& value) { FStyle->Assign(value); }
    TQBOptions Options() const { return FOptions; }
    void SetOptions(TQBOptions value) { FOptions = value; }

    // The parser's name comparison flag; True when there is no parser.
    bool CaseSensitiveIdentifiers() const;
    void SetCaseSensitiveIdentifiers(bool value);
    bool CheckLinkFieldsType() const;
    void SetCheckLinkFieldsType(bool value);

    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdating; }
    // While loading (or designing) appearance changes store their values without repainting.
    bool Loading() const { return FLoading; }
    void SetLoading(bool value) { FLoading = value; }
    bool Designing() const { return FDesigning; }
    void SetDesigning(bool value) { FDesigning = value; }

    // Asks OnAddRemoveTable whether Table may be added or removed; true when accepted.
    bool DoAddRemoveTable(TQBTable* table, TQBAction action);
    // Asks OnAddRemoveLink whether Link may be added or removed; true when accepted.
    bool DoAddRemoveLink(TQBLink* link, TQBAction action);

    TAddRemoveTableEvent OnAddRemoveTable;
    TAddRemoveLinkEvent OnAddRemoveLink;

    // Repaints what uses a changed appearance setting (called by palette and styles),
    // unless the control is being loaded or designed.
    void AppearanceChanged(TQBAppearanceArea area);

    // The work area's notifications: they keep the query model in step with the diagram.
    void TableAdded(TQBWorkArea* sender, TQBTable* table);
    void TableRemoved(TQBWorkArea* sender, TQBTable* table);
    void TableKeyChanged(TQBTable* table, const std::string& oldKey);
    void FieldCheckChanged(TQBTable* table, TQBListItem* item);

protected:
    virtual std::unique_ptr<TQBSelectParser> CreateParser();
    // Repaints the parts of the control that show Area.
    virtual void RepaintArea(TQBAppearanceArea area);

private:
    std::unique_ptr<TQBSelectParser> FParser;
    std::unique_ptr<TQBPalette> FPalette;
    std::unique_ptr<TQBStyle> FStyle;
    TQBOptions FOptions{qboRowSelect};
    TQBWorkArea* FWorkArea = nullptr;  // child widget
    bool FUpdating = false;
    bool FLoading = false;
    bool FDesigning = false;
    bool FCheckLinkFieldsType = true;  // held here until the work area exists
};

// Constructs a control of class T under Parent and runs its Init.
template <typename T>
T* CreateQueryBuilder(QWidget* parent = nullptr) {
    auto* control = new T(parent);
    control->Init();
    return control;
}
