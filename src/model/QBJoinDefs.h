// Join conditions of the FROM clause. A TQBJoinDef is one comparison of an ON clause (or
// one link of the diagram) between a side of one table and a side of another table or a
// value. Sides name their tables by alias; Bind resolves the names to table definitions.
//
// A side is a column or something else (a literal, a call, an expression, a parameter);
// only a column side is quoted and qualified when written. A non-column side keeps its
// text in LeftField/RightField and its table name, when the text names one, in
// LeftTable/RightTable so that the condition still counts for that table.
//
// A condition that names only one table is linked to its partner table PreferredTable:
// the joined table of the JOIN clause it was written in, or, when its own table is that
// joined table, the table the JOIN clause follows (PreferredFollowed set). It takes part
// in the FROM clause like a condition between those two tables.
#pragma once

#include "model/QBFunctionDefs.h"

#include <cstdint>
#include <string>

class TQBTableDef;

enum TQBJoinType : std::uint8_t { jtInner = 0, jtLeft = 1, jtRight = 2, jtFull = 3 };

class TQBJoinDef : public TQBCollectionItem {
public:
    std::string Operator = "=";
    std::uint8_t JoinType = jtInner;
    std::string LeftTable;
    std::string RightTable;
    std::string LeftField;
    std::string RightField;
    TQBTableDef* LeftTableDef = nullptr;
    TQBTableDef* RightTableDef = nullptr;
    std::string PreferredTable;
    TQBTableDef* PreferredTableDef = nullptr;
    // What each side is; only fkField sides are quoted and qualified.
    TQBFunctionKind LeftKind = fkField;
    TQBFunctionKind RightKind = fkField;
    // PreferredTable is the table the JOIN clause follows (this condition's own table is
    // the joined one), not the joined table.
    bool PreferredFollowed = false;

    // "(left<op>right)".
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    virtual void AppendSQL(std::string& Out) const;
    // Appends the condition seen from its right side: "(right<mirrored op>left)", for the
    // writer that puts the table a join brings in on the right.
    void AppendMirroredSQL(std::string& Out) const;
    // Copies type, sides (names, fields, kinds) and operator; never the bound references.
    void Assign(const TCollectionItem& Source) override;
    void Assign(const TQBJoinDef& Source);
    // Resolves LeftTable, RightTable and PreferredTable; throws EQBException for a name
    // that has no table definition (that reference is null afterwards).
    void Bind();

    bool LeftIsColumn() const { return LeftKind == fkField; }
    bool RightIsColumn() const { return RightKind == fkField; }
    // Forgets every bound reference to Table.
    void Unbind(const TQBTableDef* Table);

private:
    void AppendSide(std::string& Out, const TQBTableDef* Def, const std::string& Table,
                    const std::string& Field, bool IsColumn) const;
};

// The comparison as seen from the other side: `<` and `>`, `<=` and `>=`, `!<` and `!>`
// are exchanged; every other operator reads the same both ways.
std::string MirrorComparison(const std::string& Op);

class TQBJoinDefs : public TQBCollection {
public:
    ~TQBJoinDefs() override;
    TQBJoinDef* Add() { return static_cast<TQBJoinDef*>(TCollection::Add()); }
    TQBJoinDef* Items(int Index) const { return static_cast<TQBJoinDef*>(GetItem(Index)); }
    // Bind on every join definition in order; the first failure ends it.
    void BindAll();
    // The first join whose four names are each the same name as the given ones (direction
    // matters), or null.
    TQBJoinDef* FindJoin(const std::string& LeftTable, const std::string& LeftField,
                         const std::string& RightTable, const std::string& RightField) const;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
};
