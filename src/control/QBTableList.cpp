// The control's views of the work area's boxes and links.
#include "control/QBTableList.h"

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "diagram/QBModelLink.h"
#include "diagram/QBProc.h"
#include "toolkit/TextCompare.h"

int TQBTableList::Count() const { return FWorkArea ? FWorkArea->TableCount() : 0; }

TQBTable* TQBTableList::Items(int index) const {
    return index >= 0 && index < Count() ? FWorkArea->Table(index) : nullptr;
}

TQBTable* TQBTableList::AddTable(const std::string& name, const std::string& alias, TDataSet* dataSet) const {
    return FWorkArea ? FWorkArea->AddTable(name, alias, dataSet) : nullptr;
}

TQBTable* TQBTableList::AddProc(const std::string& name, const std::string& alias, const TDataParameters& params,
                                TDataSet* dataSet) const {
    return FWorkArea ? FWorkArea->AddProc(name, alias, &params, dataSet) : nullptr;
}

TQBTable* TQBTableList::FindTable(const std::string& key) const {
    if (Trim(key).empty()) return nullptr;
    const TQBSelectParser* parser = Parser();
    for (int i = 0; i < Count(); ++i) {
        TQBTable* box = FWorkArea->Table(i);
        if (ModelSameName(parser, box->Key(), key)) return box;
    }
    return nullptr;
}

TQBSelectParser* TQBTableList::Parser() const { return FWorkArea ? FWorkArea->Parser() : nullptr; }

int TQBLinkList::Count() const { return FWorkArea ? FWorkArea->LinkCount() : 0; }

TQBLink* TQBLinkList::Items(int index) const {
    return index >= 0 && index < Count() ? FWorkArea->Link(index) : nullptr;
}
