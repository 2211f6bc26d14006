// Table sources of the statement and the writer of its first two clauses. TQBTableDef is
// one table, view, procedure or table function under an optional alias, with the fields
// selected from it; TQBTableDefs writes the select list (in select order) and the FROM
// clause (tables linked by join definitions chained in a searched order), and keeps the
// model consistent when an alias is renamed or a table goes.
#pragma once

#include "model/QBFunctionDefs.h"

#include <functional>
#include <memory>
#include <string>

class TQBTableDefs;
class TQBWriteContext;

class TQBTableDef : public TQBCollectionItem {
public:
    TQBTableDef();
    ~TQBTableDef() override;

    const std::string& GetAlias() const { return FAlias; }
    const std::string& GetTableName() const { return FTableName; }
    bool IsProcedure = false;
    TQBFieldDefs& Fields() { return FFields; }
    const TQBFieldDefs& Fields() const { return FFields; }

    // Quoted table name, procedure parameters, then the alias when it differs from the name.
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    virtual void AppendSQL(std::string& Out) const;
    // "(params)" of a procedure table: its input parameters written by value and type.
    virtual std::string GetParamsSQL() const;
    void SetParser(TQBStatementRoot* P) override;
    void Assign(const TCollectionItem& Source) override;
    // The parser, then alias, fields, table name and the procedure flag.
    void Assign(const TQBTableDef& Source);

    // Sets the table name; an alias that was empty or equal to the old name follows it.
    void SetTableName(const std::string& Text);
    // Renames the alias, carrying the new name into join definitions and ORDER BY items.
    void SetAlias(const std::string& NewAlias);
    // Both table name and alias are blank: the holder of unqualified select items.
    bool IsBlank() const;
    std::string FormatAlias(const std::string& Text) const;
    // Alias, or the table name when the alias is empty: the key the model knows the table by.
    const std::string& Key() const { return FAlias.empty() ? FTableName : FAlias; }
    // Moves plain columns of the blank table definition that HasField accepts into this table.
    void AdoptQueryFields(const std::function<bool(const std::string&)>& HasField);

    // The owning table collection, or null. Tables are made by table collections and only
    // ever inserted into them.
    TQBTableDefs* GetTableDefs() const;

protected:
    void BeforeDestruction() override;

private:
    // Deletes the fields of other tables, ORDER BY items and top-level criteria that refer
    // to this table by its key.
    void RemoveReferences(TQBTableDefs& Tables, TQBStatementRoot& Root);

    friend class TQBTableDefs;
    std::string FAlias;
    std::string FTableName;
    // The field list lives inside the table: one allocation less for every table.
    TQBFieldDefs FFields{this};
};

class TQBTableDefs : public TQBCollection {
public:
    ~TQBTableDefs() override;

    TQBTableDef* Add() { return static_cast<TQBTableDef*>(TCollection::Add()); }
    TQBTableDef* Insert(int Index) { return static_cast<TQBTableDef*>(TCollection::Insert(Index)); }
    TQBTableDef* Items(int Index) const { return static_cast<TQBTableDef*>(GetItem(Index)); }

    // Final: the lookups below compare by the same rule without a call per table.
    bool SameName(const std::string& A, const std::string& B) const final {
        return TQBCollection::SameName(A, B);
    }

    // First table whose alias is the same name as Text; "" finds the blank table definition.
    TQBTableDef* FindByAlias(const std::string& Text) const;
    TQBTableDef* FindByTableName(const std::string& Text) const;
    TQBTableDef* FindByAliasOrName(const std::string& Text) const;

    // Number of field definitions over all tables.
    int FieldCount() const;
    // The field whose SelectIndex is N, or null.
    TQBFieldDef* FieldBySelectIndex(int N) const;
    // Some field of some table has an alias that is the same name as Text.
    bool AliasInUse(const std::string& Text) const;
    // Base, or Base followed by the first free number (always numbered when ForceNumber).
    std::string MakeUniqueAlias(const std::string& Base, bool ForceNumber) const;
    // Gives a new alias to every field whose name is another field's alias in its table.
    void FixDuplicateAliases();

    // Deletes the join definitions that no longer resolve to a table other than Leaving.
    void RemoveOrphanJoins(const TQBTableDef* Leaving);
    // Carries NewAlias into the join definitions bound to Table.
    void RenameInJoins(const TQBTableDef* Table, const std::string& NewAlias);

    // Text with every whole qualifier OldKey followed by "." replaced by NewAlias (names
    // compared as the model compares them; string literals left alone). NewAlias is written
    // quoted as the dialect needs unless QuoteNewAlias is false (texts that hold bare keys).
    std::string RenameQualifier(const std::string& Text, const std::string& OldKey,
                                const std::string& NewAlias, bool QuoteNewAlias = true) const;

    void EndUpdate() override;
    // The select list and the FROM clause; throws EQBException when the joins of a group
    // cannot be ordered.
    std::string GetSQL() const;
    // Appends GetSQL's text to Out, with Context's storage (what was appended is
    // unspecified when it throws).
    virtual void AppendSQL(std::string& Out, TQBWriteContext& Context) const;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;

private:
    void AppendSelectList(std::string& Out, TQBWriteContext& Context) const;
    void AppendFrom(std::string& Out, TQBWriteContext& Context) const;
};

inline TQBTableDefs* TQBTableDef::GetTableDefs() const {
    return static_cast<TQBTableDefs*>(GetCollection());
}
