// Expression nodes of the query model. TQBFunctionDef is one function call, column
// reference, literal, parameter or opaque expression text, with the arguments of a call as
// child nodes; TQBFieldDef is the select-list variant with an alias, a position in the
// select list and, for procedure parameters, a direction, a data type and a value.
#pragma once

#include "model/QBModelBase.h"
#include "toolkit/FieldTypes.h"
#include "toolkit/Variant.h"

#include <cstdint>
#include <memory>
#include <string>

enum TQBFunctionKind : std::uint8_t {
    fkUnknown, fkFunction, fkField, fkInteger, fkFloat, fkString, fkExpression, fkParameter
};

class TQBFunctionDefs;
class TQBFieldDef;
class TQBFieldDefs;
class TQBTableDef;
class TQBCriterion;

class TQBFunctionDef : public TQBCollectionItem {
public:
    TQBFunctionDef();
    ~TQBFunctionDef() override;

    std::string Name;
    TQBFunctionKind Kind = fkUnknown;
    bool OuterJoinMark = false;

    // The argument list, made on first use: most nodes are columns and literals and never
    // need one. The const form never makes it: a node without one shows an empty list.
    TQBFunctionDefs& Arguments();
    const TQBFunctionDefs& Arguments() const;
    // Number of arguments, without making the list.
    int ArgumentCount() const;
    // The list that holds this node, or null for a free node.
    TQBFunctionDefs* GetList() const;
    // This node as a select-list field, or null for a plain expression node: a field holds
    // the bare column name (its table gives the qualifier), any other node the dotted name.
    virtual TQBFieldDef* AsFieldDef() { return nullptr; }
    const TQBFieldDef* AsFieldDef() const { return const_cast<TQBFunctionDef*>(this)->AsFieldDef(); }

    // A new argument list owned by this node.
    virtual std::unique_ptr<TQBFunctionDefs> CreateArguments();
    // The node's SQL text (a call, a qualified column, a literal, a parameter or the text).
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    virtual void AppendSQL(std::string& Out) const;
    virtual void SetName(const std::string& Text);
    virtual void SetKind(TQBFunctionKind K);
    // Empty, unclassified node without arguments.
    virtual void Clear();
    void SetParser(TQBStatementRoot* P) override;
    void Assign(const TCollectionItem& Source) override;
    // The parser, then the node's own fields: arguments, kind, name and outer-join mark.
    void Assign(const TQBFunctionDef& Source);

    // The table definition whose field holds this node (at any depth of arguments), or null.
    TQBTableDef* OwningTable() const;

protected:
    void AppendColumnSQL(std::string& Out) const;
    void AppendStringSQL(std::string& Out) const;

private:
    std::unique_ptr<TQBFunctionDefs> FArguments;
};

class TQBFunctionDefs : public TQBCollection {
public:
    // A list of no owner.
    TQBFunctionDefs() = default;
    // The argument list of a node, and the operand list of a criterion (owners not owned).
    explicit TQBFunctionDefs(TQBFunctionDef* OwnerNode) : Owner(OwnerNode), FOwnerNode(OwnerNode) {}
    explicit TQBFunctionDefs(TQBCriterion* OwnerCriterion);
    ~TQBFunctionDefs() override;

    // The node, table definition or criterion that owns the list, or null.
    TQBCollectionItem* GetOwner() const { return Owner; }
    // The node whose arguments these are, or null.
    TQBFunctionDef* GetOwnerNode() const { return FOwnerNode; }
    // The table whose fields these are, or null.
    TQBTableDef* GetOwnerTable() const { return FOwnerTable; }
    TQBFunctionDef* Add() { return static_cast<TQBFunctionDef*>(TCollection::Add()); }
    TQBFunctionDef* Insert(int Index) { return static_cast<TQBFunctionDef*>(TCollection::Insert(Index)); }
    TQBFunctionDef* Items(int Index) const { return static_cast<TQBFunctionDef*>(GetItem(Index)); }

    // First item whose Name is the same name as Text, or null.
    TQBFunctionDef* FindByName(const std::string& Text) const;
    // The items' SQL joined by ", ".
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    virtual void AppendSQL(std::string& Out) const;

    using TQBCollection::Assign;
    // Source's parser, then a copy of each of its nodes.
    void Assign(const TQBFunctionDefs& Source) { CopyList(*this, Source); }

protected:
    // The field list of a table.
    explicit TQBFunctionDefs(TQBTableDef* OwnerTable);
    std::unique_ptr<TCollectionItem> CreateItem() override;
    TQBCollectionItem* Owner = nullptr;

private:
    TQBFunctionDef* FOwnerNode = nullptr;
    TQBTableDef* FOwnerTable = nullptr;
};

class TQBFieldDef : public TQBFunctionDef {
public:
    std::string Alias;
    int SelectIndex = -1;
    TParamType ParamType = ptOutput;
    TFieldType DataType = ftUnknown;
    TVariant Value;

    // A unique alias built from Prefix (numbered when ForceNumber).
    virtual std::string MakeUniqueAlias(const std::string& Prefix, bool ForceNumber) const;
    // Node SQL, then "AS alias" when the alias differs from the name.
    void AppendSQL(std::string& Out) const override;
    // Sets the kind; a computed item without its own alias gets FIELD_n.
    void SetKind(TQBFunctionKind K) override;
    void Clear() override;
    void Assign(const TCollectionItem& Source) override;
    // The node's copy, then alias, parameter direction, data type and value; never the
    // select position.
    void Assign(const TQBFieldDef& Source);
    using TQBFunctionDef::Assign;
    TQBFieldDef* AsFieldDef() override { return this; }
    using TQBFunctionDef::AsFieldDef;
    // The list that holds this field, or null for a free field.
    TQBFieldDefs* GetFieldList() const;

    std::string FormatAlias(const std::string& Text) const;
    // Alias of the table definition whose Fields hold this field; empty when none.
    std::string TableAlias() const;
    // Moves the field to position N of the select list, shifting the fields between.
    void SetSelectIndex(int N);
    // True for procedure input parameters, which never appear in the select list.
    bool IsInputParam() const { return ParamType == ptInput || ParamType == ptInputOutput; }

protected:
    void AfterInsertion() override;
    void BeforeDestruction() override;
};

class TQBFieldDefs : public TQBFunctionDefs {
public:
    // A field list of no table.
    TQBFieldDefs() = default;
    // The field list of Table (not owned).
    explicit TQBFieldDefs(TQBTableDef* Table) : TQBFunctionDefs(Table) {}
    // Frees the fields while the list is still a field list: their destruction reaches it as one.
    ~TQBFieldDefs() override { Clear(); }
    TQBFieldDef* Add() { return static_cast<TQBFieldDef*>(TCollection::Add()); }
    TQBFieldDef* Insert(int Index) { return static_cast<TQBFieldDef*>(TCollection::Insert(Index)); }
    TQBFieldDef* Items(int Index) const { return static_cast<TQBFieldDef*>(GetItem(Index)); }
    // Inserts the free Field at Index (clamped) as if it had been made there; returns it.
    TQBFieldDef* InsertItem(int Index, std::unique_ptr<TQBFieldDef> Field) {
        return static_cast<TQBFieldDef*>(TCollection::InsertItem(Index, std::move(Field)));
    }
    // The table whose fields these are, or null.
    TQBTableDef* GetTable() const { return GetOwnerTable(); }
    using TQBFunctionDefs::Assign;
    // Source's parser, then a copy of each of its fields.
    void Assign(const TQBFieldDefs& Source) { CopyList(*this, Source); }
    // First field whose Alias is the same name as Text, or null.
    TQBFieldDef* FindByAlias(const std::string& Text) const;
    // The output fields, each indented by two blanks, separated by "," and a line break.
    void AppendSQL(std::string& Out) const override;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
};
