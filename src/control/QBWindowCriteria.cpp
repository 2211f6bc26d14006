// The control's side of the criterion panels: they are made on the "criteria" and "grouping
// criteria" pages, reloaded when their page is shown, asked before the page changes, and
// told when the operator table is replaced or a condition colour changes. A panel whose
// page is not shown keeps no rows: its rows point into criteria the model may free while it
// is hidden, and it is reloaded from the model when its page is shown again.
#include "control/QBWindow.h"

#include <QTabWidget>

#include "editors/QBWherePanel.h"

void TCustomQueryBuilder::CreateCriteriaPanels() {
    FWherePanel = new TQBWherePanel(FPages[qbtCriterions], this);
    FWherePanel->SetParser(FParser.get());
    FWherePanel->ResetPanel();
    FHavingPanel = new TQBHavingPanel(FPages[qbtGroupCriterions], this);
    FHavingPanel->SetParser(FParser.get());
    FHavingPanel->ResetPanel();
}

void TCustomQueryBuilder::ReloadCriteriaPage(TQBVisibleTab page) {
    const int active = ActivePage();
    for (auto [panel, tab] : {std::pair<TQBCriterionPanel*, TQBVisibleTab>{FWherePanel, qbtCriterions},
                              std::pair<TQBCriterionPanel*, TQBVisibleTab>{FHavingPanel, qbtGroupCriterions}}) {
        if (!panel) continue;
        if (tab == page)
            panel->LoadFromModel();
        else if (tab != active)
            panel->Clear();
    }
}

void TCustomQueryBuilder::ClearCriteriaPanels() {
    if (FWherePanel) FWherePanel->Clear();
    if (FHavingPanel) FHavingPanel->Clear();
}

void TCustomQueryBuilder::RepaintCriteriaPanels() {
    if (FWherePanel) FWherePanel->viewport()->update();
    if (FHavingPanel) FHavingPanel->viewport()->update();
}

bool TCustomQueryBuilder::CanChangePage() {
    // The having panel is asked only when the where panel let the page go.
    return (!FWherePanel || FWherePanel->CanLeave()) && (!FHavingPanel || FHavingPanel->CanLeave());
}

void TCustomQueryBuilder::RefreshOperatorCaptions() {
    if (FWherePanel) FWherePanel->ForgetOperators();
    if (FHavingPanel) FHavingPanel->ForgetOperators();
}

void TCustomQueryBuilder::RebindOperators() {
    const int active = ActivePage();
    for (auto [panel, tab] : {std::pair<TQBCriterionPanel*, TQBVisibleTab>{FWherePanel, qbtCriterions},
                              std::pair<TQBCriterionPanel*, TQBVisibleTab>{FHavingPanel, qbtGroupCriterions}}) {
        if (!panel) continue;
        if (tab == active)
            panel->RebindOperators();
        else
            panel->Clear();
    }
}
