// The GROUP BY and ORDER BY lists: plain text items (a dotted column reference, an output
// alias or a position), ORDER BY items with a sort direction. Each list writes its whole
// clause: names quoted part by part as the dialect needs, items that come out alike written
// once. Before GROUP BY is written, the statement writer has the list rebuilt from the select
// list when that mixes aggregates with plain columns (Rebuild).
#pragma once

#include "model/QBModelBase.h"

#include <string>
#include <string_view>
#include <vector>

class TQBWriteContext;

enum TQBSortDirection : int { sdAscending = 0, sdDescending = 1 };

// The parser link the two lists share, and the alias formatting built on it.
class TQBStringList {
public:
    explicit TQBStringList(TQBStatementRoot* AParser) : Parser(AParser) {}
    TQBStatementRoot* GetParser() const { return Parser; }
    // Text through the scanner's QuoteName when the dialect quotes aliases; else unchanged.
    std::string FormatAlias(const std::string& Text) const;

protected:
    ~TQBStringList() = default;
    TQBStatementRoot* Parser = nullptr;
};

// One ORDER BY item: the name as read and its direction.
struct TQBOrderByItem {
    std::string Text;
    int Direction = sdAscending;
};

class TQBOrderByItems final : public TQBStringList {
public:
    using TQBStringList::TQBStringList;

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item text at Index; Index must be in range.
    const std::string& operator[](int Index) const { return FItems[Checked(Index)].Text; }
    const std::string& Get(int Index) const { return (*this)[Index]; }
    // Replaces the text at Index, keeping its direction.
    void Put(int Index, const std::string& Text) { FItems[Checked(Index)].Text = Text; }
    // The direction at Index; ascending outside the list.
    int GetDirection(int Index) const;
    // Index of the first item equal to Text ignoring letter case, or -1.
    int IndexOf(std::string_view Text) const;

    // Appends Text with Direction; returns its index.
    int AddItem(const std::string& Text, int Direction);
    int Add(const std::string& Text) { return AddItem(Text, sdAscending); }
    // Removes the item at Index; out of range is ignored.
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    // Copies the items and their directions.
    void Assign(const TQBOrderByItems& Source) { FItems = Source.FItems; }

    // The ORDER BY clause; empty when no item is written.
    std::string GetSQL() const;
    // Appends GetSQL's text to Out, with Context's storage.
    void AppendSQL(std::string& Out, TQBWriteContext& Context) const;

private:
    std::size_t Checked(int Index) const;
    // The clause without a dialect: every item as it stands.
    void AppendUnquoted(std::string& Out) const;
    std::vector<TQBOrderByItem> FItems;
};

class TQBGroupByItems final : public TQBStringList {
public:
    using TQBStringList::TQBStringList;

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at Index; Index must be in range.
    const std::string& operator[](int Index) const;
    // Replaces the item at Index; Index must be in range.
    void Put(int Index, const std::string& Text);
    // Index of the first item equal to Text ignoring letter case, or -1.
    int IndexOf(std::string_view Text) const;
    // Appends Text; returns its index.
    int Add(const std::string& Text);
    // Removes the item at Index; out of range is ignored.
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    void Assign(const TQBGroupByItems& Source) { FItems = Source.FItems; }

    // When the select list mixes aggregates with other items (and there is a FROM clause),
    // refills the list with the plain columns of the select list, in select order, followed
    // by the items it held that the select list lacks; items written alike are kept once.
    // Otherwise the list stays as it is. True when it refilled the list: the items' written
    // forms are then in Context (GroupByText, Written) for AppendWritten.
    bool Rebuild(TQBWriteContext& Context);
    // Appends the GROUP BY clause of the list Rebuild has just refilled, from the written
    // forms it left in Context: AppendSQL's text without quoting every name again.
    void AppendWritten(std::string& Out, const TQBWriteContext& Context) const;
    // The GROUP BY clause of the list as it stands; empty for an empty list.
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    void AppendSQL(std::string& Out) const;

private:
    std::vector<std::string> FItems;
};
