// Condition trees of WHERE and HAVING and the operator table they are written by.
// TQBCriterion is one comparison (left expression, operator, right operands) or, when its
// SubCriteria is not empty, a nested group; TQBCriterions is a group combined as All, Any,
// None, Not all or Not. TQBOperators describes each operator by caption, SQL text, number
// of operands and how they are joined and wrapped.
#pragma once

#include "model/QBFunctionDefs.h"

#include <cstdint>
#include <memory>
#include <string>

class TQBCriterions;

enum TQBGroupKind : std::uint8_t { gkAll = 0, gkAny = 1, gkNone = 2, gkNotAll = 3, gkNot = 4 };

// Display caption of a group kind; empty for an unknown kind.
const char* GroupKindCaption(int Kind);

class TQBCriterion : public TQBCollectionItem {
public:
    TQBCriterion();
    ~TQBCriterion() override;

    std::string OperatorCaption;
    int ParseMark = 0;

    // The nested group, made on first use: most criteria are plain comparisons. The const
    // form never makes it: a criterion without one shows an empty group.
    TQBCriterions& SubCriteria();
    const TQBCriterions& SubCriteria() const;
    // Number of nested criteria, without making the group.
    int SubCriteriaCount() const;
    TQBFunctionDefs& Operands() { return FOperands; }
    const TQBFunctionDefs& Operands() const { return FOperands; }
    TQBFunctionDef& Expression() { return FExpression; }
    const TQBFunctionDef& Expression() const { return FExpression; }

    // The comparison, or the nested group's SQL when SubCriteria is not empty.
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    virtual void AppendSQL(std::string& Out) const;
    // Binds the parts; a caption unknown to P's operator table becomes its first operator's.
    void SetParser(TQBStatementRoot* P) override;
    // Qualifier and last part quoted separately.
    std::string QuoteName(const std::string& Text) const override;
    void Assign(const TCollectionItem& Source) override;
    // The parser, expression, operator, operands, nested group and parse mark.
    void Assign(const TQBCriterion& Source);

    // The group that holds this criterion, or null for a free one.
    TQBCriterions* GetGroup() const;

private:
    void AppendOperand(std::string& Out, const TQBFunctionDef& Operand) const;
    // QuoteName's text appended to Out.
    void AppendQuoted(std::string& Out, const std::string& Text) const;

    std::unique_ptr<TQBCriterions> FSubCriteria;
    // The operand list lives inside the criterion: one allocation less for every criterion.
    TQBFunctionDefs FOperands{this};
    TQBFunctionDef FExpression;
};

class TQBCriterions : public TQBCollection {
public:
    // OwnerCriterion: the criterion whose SubCriteria this is; null for a top-level group.
    explicit TQBCriterions(TQBCriterion* AOwnerCriterion = nullptr) : OwnerCriterion(AOwnerCriterion) {}
    ~TQBCriterions() override;

    std::uint8_t GroupKind = gkAll;
    TQBCriterion* GetOwnerCriterion() const { return OwnerCriterion; }

    TQBCriterion* Add() { return static_cast<TQBCriterion*>(TCollection::Add()); }
    TQBCriterion* Insert(int Index) { return static_cast<TQBCriterion*>(TCollection::Insert(Index)); }
    TQBCriterion* Items(int Index) const { return static_cast<TQBCriterion*>(GetItem(Index)); }

    // Copies GroupKind from another group, then the items.
    void Assign(const TCollection& Source) override;
    void Assign(const TQBCriterions& Source);
    // The items joined by the group's AND/OR, with the NOT prefix of None, Not all and Not.
    std::string GetSQL() const;
    // Appends GetSQL's text to Out.
    virtual void AppendSQL(std::string& Out) const;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
    // Keyword, a line break and the conditions; nothing when the conditions write nothing.
    void AppendClause(std::string& Out, const char* Keyword) const;
    TQBCriterion* OwnerCriterion = nullptr;
};

class TQBWhereItems : public TQBCriterions {
public:
    // "WHERE", a line break and the conditions; empty for an empty group.
    void AppendSQL(std::string& Out) const override;
};

class TQBHavingItems : public TQBCriterions {
public:
    // "HAVING" and the conditions; empty unless the parser's GROUP BY list has items.
    void AppendSQL(std::string& Out) const override;
};

inline TQBCriterions* TQBCriterion::GetGroup() const {
    // Criteria are made by criterion groups and only ever inserted into them.
    return static_cast<TQBCriterions*>(GetCollection());
}

class TQBOperator : public TCollectionItem {
public:
    int Count = 1;
    std::string Prefix;
    std::string Relate;
    std::string Caption;
    std::string Name;
    std::string Postfix;
    bool CommaList = false;

    void Assign(const TCollectionItem& Source) override;
    void Assign(const TQBOperator& Source);
};

class TQBOperators : public TCollection {
public:
    TQBOperator* Add() { return static_cast<TQBOperator*>(TCollection::Add()); }
    TQBOperator* Items(int Index) const { return static_cast<TQBOperator*>(GetItem(Index)); }
    // Adds one operator with the given fields and returns it.
    TQBOperator* AddOperator(const std::string& Text, int Count = 1, const std::string& Relate = "",
                             const std::string& Prefix = "", const std::string& Postfix = "",
                             bool CommaList = false);
    // First operator whose Caption (Name) equals Text ignoring case, or null.
    TQBOperator* FindByCaption(const std::string& Text) const;
    TQBOperator* FindByName(const std::string& Text) const;
    // An operator whose Name equals Text (Partial false), or else the first whose Name begins
    // with Text (Partial: Text differs from its Caption); null when none or Text is empty.
    TQBOperator* FindStartingWith(const std::string& Text, bool& Partial) const;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override;
};
