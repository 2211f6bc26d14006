// The working storage of one statement write: the select list in select order, the FROM
// clause's table groups and join-order search, and the GROUP BY and ORDER BY writers' lists.
// The parser owns one and lends it to the writers for the duration of one GetSQL, so that a
// steady stream of statements is written without allocating; a fragment written on its own
// (a table collection's GetSQL) brings a context of its own.
#pragma once

#include "model/QBJoinOrder.h"

#include <cstddef>
#include <string>
#include <vector>

class TQBFieldDef;
class TQBJoinDef;
class TQBTableDef;

// One join condition as the FROM writer sees it: the tables it links, as indices in the
// table collection (B -1 when it has no partner), and the table whose attachment exchanges
// LEFT and RIGHT (-1 when none). Sides: A and B are the condition's own left and right
// tables (not a table and its partner), so the condition can be written from either side.
struct TQBFromLink {
    const TQBJoinDef* Join = nullptr;
    int A = -1;
    int B = -1;
    int SwapFor = -1;
    bool Sides = false;
};

// A field of the select list with the table whose fields hold it.
struct TQBSelectedField {
    const TQBFieldDef* Field = nullptr;
    const TQBTableDef* Table = nullptr;
};

// Where an item's text lies in the output (offsets: the output moves as it grows).
struct TQBTextSpan {
    std::size_t At = 0;
    std::size_t Size = 0;
};

class TQBWriteContext {
public:
    // The select list.
    std::vector<const TQBFieldDef*> BySelect;

    // The FROM clause: its tables (and which are blank), its links, its groups of linked
    // tables (the first GroupCount are in use; their storage is kept) and the order search.
    std::vector<const TQBTableDef*> Tables;
    std::vector<char> Blank;
    std::vector<TQBFromLink> Links;
    std::vector<std::vector<int>> Groups;
    std::size_t GroupCount = 0;
    std::vector<TJoinOrderLink> OrderLinks;
    std::vector<const TQBFromLink*> Pool;
    std::vector<char> Used;
    std::vector<int> IndexInGroup;  // per table: its place in the group being written, or -1
    std::vector<char> Grouped;      // per table: written with a group
    TJoinOrderResult Order;

    // The GROUP BY and ORDER BY writers.
    std::vector<TQBSelectedField> Fields;
    std::vector<TQBTextSpan> Written;
    std::vector<std::string> Kept;
    std::string GroupByText;  // the rebuilt GROUP BY items as written, one after another
    std::string Item;
};
