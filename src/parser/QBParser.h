// TQBSelectParser: owns the query model of one SELECT statement (tables, fields, joins,
// criteria, grouping and ordering), its scanner, its operator table, its aggregate list and
// its script format; reads statement text into the model and writes it back. To the model
// it is the statement root: the dialect it is written in and the owner of its collections.
//
// Construction is two-step: the constructor makes nothing that a dialect may replace;
// Init builds the owned objects through the virtual factories, so a derived parser's
// factories are the ones called. MakeParser<T>() does both.
#pragma once

#include "lexer/QBParserError.h"
#include "lexer/QBTokenKinds.h"
#include "model/QBStatementRoot.h"
#include "toolkit/TStringList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TQBSQLScanner;
class TQBTableDefs;
class TQBTableDef;
class TQBJoinDefs;
class TQBWhereItems;
class TQBHavingItems;
class TQBCriterions;
class TQBCriterion;
class TQBGroupByItems;
class TQBOrderByItems;
class TQBOperators;
class TQBFunctionDef;
class TQBWriteContext;
struct TQBParseReader;
enum TQBFunctionKind : std::uint8_t;

// States of the parse state machine.
enum TQBParseState : std::uint8_t {
    psSelect, psError, psDone, psOptions, psFields, psReserved, psFrom, psTables, psWhere,
    psGroupBy, psHaving, psOrderBy, psUnexpected
};

// Options of ParseOperand: create a table definition for an unknown qualifier; read an alias.
// poStopAtJoinWords: a join word (LEFT, RIGHT, FULL, INNER, CROSS, JOIN) at depth 0 ends the
// operand, so that a join condition ends where the next join begins.
enum TQBParseOption : unsigned { poCreateTable = 1, poAllowAlias = 2, poStopAtJoinWords = 4 };
using TQBParseOptions = unsigned;

class TQBSelectParser : public TQBStatementRoot {
    // The steps of the operand, condition and table reference readers.
    friend class TQBOperandReader;
    friend class TQBConditionReader;
    friend class TQBTableRefReader;

public:
    TQBSelectParser();
    TQBSelectParser(const TQBSelectParser&) = delete;
    TQBSelectParser& operator=(const TQBSelectParser&) = delete;
    virtual ~TQBSelectParser();

    // Builds the scanner, the model collections, the aggregate list, the operators and the
    // script format through the factories; call once, right after construction.
    virtual void Init();

    // --- factories and dialect switches ---
    virtual std::unique_ptr<TQBSQLScanner> CreateScanner();
    virtual std::unique_ptr<TQBTableDefs> CreateTableDefs();
    virtual std::unique_ptr<TQBWhereItems> CreateWhereItems();
    virtual std::unique_ptr<TQBHavingItems> CreateHavingItems();
    virtual std::unique_ptr<TQBJoinDefs> CreateJoinDefs();
    // Comma text of the dialect's aggregate function names.
    virtual std::string GetAggregatesText() const;
    // True for INNER, LEFT, RIGHT, FULL and JOIN, ignoring case.
    virtual bool IsJoinWord(const std::string& S) const;
    // Refills the aggregate list from GetAggregatesText, sorted.
    virtual void LoadAggregates();
    // Clears the operator table and adds the dialect's default operators.
    virtual void InitOperators();
    // Text written between a table and its alias.
    std::string TableAliasSeparator() const override;
    virtual bool UseOuterJoinMarks() const;
    virtual bool ExtendedSyntax() const;
    virtual bool IncludeUnboundFields() const;
    virtual bool SupportsFullOuterJoin() const;
    bool WriteEmptyParams() const override;
    bool LowerCaseAliases() const override;

    // --- statement ---
    // The whole statement written from the model; empty when there is neither field nor table.
    virtual std::string GetSQL();
    // Empties the model and the scanner's text; Valid becomes true.
    virtual void Clear();
    // True while Clear empties the whole model: items that go need not clean up what
    // refers to them, since all of it goes too.
    bool IsClearing() const override { return FClearing; }
    virtual bool GetDistinct() const;
    virtual void SetDistinct(bool Value);
    bool GetCaseSensitiveIdentifiers() const override;
    virtual void SetCaseSensitiveIdentifiers(bool Value);

    // Replaces the model by the statement in Text (an empty text only clears).
    void ParseSQL(const std::string& Text);
    // Public entry of the error report, used by the condition reader and the control.
    void ReportParserError(int Code, const std::string& Token, int Line, int Column);

    // --- script format ---
    // Copies Format into the parser's own script format.
    void SetScriptFormat(const TQBScriptFormat& Format);
    TQBScriptFormat& GetScriptFormat() { return *FScriptFormat; }
    const TQBScriptFormat& GetScriptFormat() const override { return *FScriptFormat; }

    // --- text normalisation of the operand reader ---
    std::string FormatToken(const std::string& Token, TQBTokenKinds Kinds) const;
    std::string QuoteToken(const std::string& Text, TQBTokenKinds Kinds) const;
    // Appends QuoteToken(Text, Kinds) to Out.
    void AppendQuotedToken(std::string& Out, const std::string& Text, TQBTokenKinds Kinds) const;
    bool NeedSpace(const std::string& PrevToken, const std::string& Token, TQBTokenKinds Kinds,
                   TQBTokenKinds PrevKinds) const;
    TQBFunctionKind KindOfToken(TQBTokenKinds Kinds) const;

    // --- owned objects (null only before Init) ---
    TQBSQLScanner* GetScanner() const override { return FScanner.get(); }
    TQBTableDefs* GetTableDefs() const override { return FTableDefs.get(); }
    TQBJoinDefs* GetJoinDefs() const override { return FJoinDefs.get(); }
    TQBWhereItems* GetWhereItems() const override { return FWhereItems.get(); }
    TQBHavingItems* GetHavingItems() const override { return FHavingItems.get(); }
    TQBGroupByItems* GetGroupByItems() const override { return FGroupByItems.get(); }
    TQBOrderByItems* GetOrderByItems() const override { return FOrderByItems.get(); }
    TQBOperators* GetOperators() const override { return FOperators.get(); }
    // The working storage the statement writer borrows for the duration of one GetSQL.
    TQBWriteContext& GetWriteContext() { return *FWriteContext; }
    const TStringList& GetAggregateNames() const { return FAggregates; }
    TStringList& GetAggregateNames() { return FAggregates; }
    // True when Name is in the aggregate list (ignoring case).
    bool IsAggregate(const std::string& Name) const override;
    // The table a qualifier names: its alias, or the bare last name of a table written with its
    // schema and no alias; null when none.
    TQBTableDef* FindQualifierTable(const std::string& Qualifier) const override;
    // Ends the reading in error, reported at Token (its line and the column after it)
    // rather than at the token the reader stands on.
    void FailAt(const std::string& Token, int Line, int Column);
    // True when the FROM clause named, after a JOIN, a table that one of its sides' unbound
    // qualifiers names; forgets the qualifiers.
    bool NamesLaterTable();
    // The table whose alias is the dotted name Name part by part, whatever quotes either
    // holds its parts in (`[a#].[s]` and `[a#].s`), or null.
    TQBTableDef* FindTableByParts(const std::string& Name) const;

    // Parse error handler; when set, errors are handed to it instead of being thrown.
    TQBParserErrorEvent OnParserError;
    // True after creation, Clear and the start of each parse; false after an error report.
    bool Valid = true;

protected:
    // --- the parse (state machine and clause handlers) ---
    virtual void Parse();
    virtual void ParseSelectKeyword();
    virtual void ParseSelectOptions();
    virtual void ParseReserved();
    virtual void ParseSelectField();
    virtual void ParseSelectList();
    virtual void ParseFromKeyword();
    virtual TQBTableDef* ParseTableRef();
    virtual void ParseParams(TQBTableDef* TableDef);
    virtual void ParseJoin();
    virtual void ParseFromList();
    virtual void ParseWhere();
    virtual void ParseGroupBy();
    virtual void ParseHaving();
    virtual void ParseOrderBy();
    virtual void ParseUnexpected();
    // Reads a condition tree from the current token into Target.
    virtual void ParseCriteria(TQBCriterions* Target);
    // Reads one operand into Item; TableDef receives the table of its qualifier.
    virtual void ParseOperand(TQBFunctionDef* Item, TQBTableDef*& TableDef, TQBTokenKinds StopKinds,
                              const std::string& AllowedWords, TQBParseOptions Options);
    // Reads one comparison into Item.
    void ParseCriterion(TQBCriterion* Item);
    // 1 when Token is not empty, else 2.
    virtual int ErrorCodeForToken(const std::string& Token) const;
    // Marks the parse invalid and hands the error to OnParserError, or throws EQBParserError.
    virtual void ReportError(int Code, const std::string& Token, int Line, int Column);
    // When the current token is Word followed by BY: reads on to BY, sets State, true.
    bool FollowedByBy(const char* Word, TQBParseState State);

    std::unique_ptr<TQBSQLScanner> FScanner;
    TQBParseState FState = psSelect;
    std::unique_ptr<TQBTableDefs> FTableDefs;
    std::unique_ptr<TQBJoinDefs> FJoinDefs;
    std::unique_ptr<TQBWhereItems> FWhereItems;
    std::unique_ptr<TQBOrderByItems> FOrderByItems;
    std::unique_ptr<TQBGroupByItems> FGroupByItems;
    std::unique_ptr<TQBHavingItems> FHavingItems;
    TStringList FAggregates;
    std::unique_ptr<TQBOperators> FOperators;
    bool FDistinct = false;
    std::string FLastTableName;
    std::string FLastTableKey;
    std::unique_ptr<TQBScriptFormat> FScriptFormat;
    std::unique_ptr<TQBWriteContext> FWriteContext;
    std::uint8_t FLastJoinType = 0;
    bool FCaseSensitive = false;
    int FErrorCode = 0;
    // The working state of the parse being read (see TQBParseReader).
    std::unique_ptr<TQBParseReader> FReader;
    bool FClearing = false;
};

// Makes a parser of class T and runs its two-step construction.
template <class T = TQBSelectParser>
std::unique_ptr<T> MakeParser() {
    auto parser = std::make_unique<T>();
    parser->Init();
    return parser;
}
