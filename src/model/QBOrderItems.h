// The GROUP BY and ORDER BY lists: plain text items (a dotted column reference or an
// output alias), ORDER BY items with a sort direction. Each list writes its whole clause;
// the GROUP BY list is first rebuilt from the select list when that mixes aggregates with
// plain columns.
#pragma once

#include "model/QBModelBase.h"

#include <string>
#include <vector>

enum TQBSortDirection : int { sdAscending = 0, sdDescending = 1 };

class TQBOrderByItems : public TQBStringList {
public:
    using TQBStringList::TQBStringList;

    std::vector<int> Directions;

    // Appends Text with Direction; returns its index.
    int AddItem(const std::string& Text, int Direction);
    int Add(const std::string& Text) { return AddItem(Text, sdAscending); }
    void Clear();
    void Delete(int Index);
    // Copies the strings; their directions read as ascending.
    void Assign(const TStringList& Source);
    // Copies the strings and their directions.
    void Assign(const TQBOrderByItems& Source);
    // The direction at Index; ascending outside the list.
    int GetDirection(int Index) const;
    // The ORDER BY clause; empty for an empty list.
    virtual std::string GetSQL() const;
};

class TQBGroupByItems : public TQBStringList {
public:
    using TQBStringList::TQBStringList;
    // The GROUP BY clause, after rebuilding the list from a select list that mixes
    // aggregates with other items; empty for an empty list.
    virtual std::string GetSQL();
};
