// The operand reader: every select-list item, procedure parameter, join side and condition
// operand goes through ParseOperand, which consumes its tokens, classifies it, rebuilds its
// text in a normalised form (case from the script format, the dialect's quoting, a fixed
// spacing rule) and finds the table its qualifier names.
#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBFunctionDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParseSupport.h"
#include "parser/QBParseReader.h"
#include "parser/QBParser.h"

#include <string_view>
#include <utility>

using namespace qbparse;

namespace {

// True when Token is one of the comma-separated words of List (ignoring case).
bool InWordList(const std::string& Token, const std::string& List) {
    std::size_t start = 0;
    while (start <= List.size()) {
        std::size_t comma = List.find(',', start);
        if (comma == std::string::npos) comma = List.size();
        if (comma > start &&
            SameText(std::string_view(List).substr(start, comma - start), Token))
            return true;
        start = comma + 1;
    }
    return false;
}

// True when S is a single character out of Set.
bool IsOneOf(const std::string& S, std::string_view Set) {
    if (S.size() != 1) return false;
    for (const char ch : Set)
        if (ch == S[0]) return true;
    return false;
}

// Removes one pair of enclosing parentheses.
std::string StripParentheses(const std::string& S) {
    if (S.size() >= 2 && S.front() == '(' && S.back() == ')') return S.substr(1, S.size() - 2);
    return S;
}

// Text with every doubled Quote turned into one.
std::string Undouble(const std::string& Text, char Quote) {
    if (Text.find(Quote) == std::string::npos) return Text;
    std::string result;
    result.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        result += Text[i];
        if (Text[i] == Quote && i + 1 < Text.size() && Text[i + 1] == Quote) ++i;
    }
    return result;
}

// True when every run of Quote in Text is of even length (each quote written doubled).
bool EvenQuoteRuns(const std::string& Text, char Quote) {
    std::size_t run = 0;
    for (const char c : Text) {
        if (c == Quote) {
            ++run;
        } else {
            if (run % 2 != 0) return false;
            run = 0;
        }
    }
    return run % 2 == 0;
}

}  // namespace

TQBFunctionKind TQBSelectParser::KindOfToken(TQBTokenKinds Kinds) const {
    if (Kinds.Contains(qtkFunction)) return fkFunction;
    if (Kinds.Contains(qtkInteger)) return fkInteger;
    if (Kinds.Contains(qtkFloat)) return fkFloat;
    if (Kinds.Contains(qtkIdentifier)) return fkField;
    if (Kinds.Contains(qtkString)) return fkString;
    if (Kinds.Contains(qtkBoolean)) return fkExpression;
    return fkUnknown;
}

std::string TQBSelectParser::FormatToken(const std::string& Token, TQBTokenKinds Kinds) const {
    if (Kinds.Contains(qtkIdentifier)) return Token;
    if (Kinds.Contains(qtkFunction)) return FormatFunctionName(Token);
    if (Kinds.Contains(qtkKeyword)) return FormatKeyword(Token);
    return Token;
}

std::string TQBSelectParser::QuoteToken(const std::string& Text, TQBTokenKinds Kinds) const {
    const bool current = FScanner->GetToken() == Text;
    // The scanner's current unquoted identifier is no keyword, no function and a plain
    // identifier (that is how it was classified): it needs no quotes.
    if (Kinds.Contains(qtkIdentifier) && current && !FScanner->GetInQuote() &&
        !(FReader->TextHoldsHighBytes && HoldsHighBytes(Text)))
        return Text;
    if (Kinds.Contains(qtkIdentifier)) return FScanner->QuoteIdentifier(Text);
    const bool currentQuoted = current && FScanner->GetInQuote();
    if (currentQuoted && !Kinds.Contains(qtkString)) {
        // A quoted name the scanner did not take for an identifier (`[a b.c]`): written
        // back between its own quotes, as read.
        const char open = FScanner->GetQuoteChar();
        if (open != 0 && FScanner->IsIdentQuote(open))
            return open + Text + FScanner->ClosingQuote(open);
    }
    if (!Kinds.Contains(qtkString)) return Text;
    const char quote = FScanner->StringQuoteChar();
    // The scanner's current string token comes as written between its quotes, doubled
    // quotes included: wrap it as it is, so that 'O''Brien' stays 'O''Brien'. A text read
    // between other string quotes (the double quote) is re-quoted with the dialect's own.
    if (currentQuoted) {
        const char open = FScanner->GetQuoteChar();
        // A quote that closed the text at its very end leaves a single quote inside.
        if ((open == quote || open == 0) && EvenQuoteRuns(Text, quote)) return quote + Text + quote;
        return QuoteText(Undouble(Text, open == 0 ? quote : open), quote, quote);
    }
    return QuoteTextIfNeeded(Text, quote, quote);
}

void TQBSelectParser::AppendQuotedToken(std::string& Out, const std::string& Text,
                                        TQBTokenKinds Kinds) const {
    // Outside quotes, the scanner's current identifier and every token that is no identifier
    // and no string come back from QuoteToken as they are: appended without a copy.
    const TQBSQLScanner& scanner = *FScanner;
    if (!scanner.GetInQuote()) {
        if (!Kinds.Contains(qtkString) &&
            (!Kinds.Contains(qtkIdentifier) ||
             (scanner.GetToken() == Text && !(FReader->TextHoldsHighBytes && HoldsHighBytes(Text))))) {
            Out += Text;
            return;
        }
    } else if (Kinds.Contains(qtkString) && !Kinds.Contains(qtkIdentifier) &&
               scanner.GetToken() == Text) {
        // The current string token between the dialect's own quotes, its quotes doubled:
        // wrapped as it is (see QuoteToken), without the temporaries.
        const char quote = scanner.StringQuoteChar();
        const char open = scanner.GetQuoteChar();
        if ((open == quote || open == 0) && EvenQuoteRuns(Text, quote)) {
            Out += quote;
            Out += Text;
            Out += quote;
            return;
        }
    }
    Out += QuoteToken(Text, Kinds);
}

bool TQBSelectParser::NeedSpace(const std::string& PrevToken, const std::string& Token,
                                TQBTokenKinds Kinds, TQBTokenKinds PrevKinds) const {
    // Never join two tokens into something the scanner reads differently: two words into
    // one, a comment opener (`- -1` is no `--1`), or a number and a point into a fraction.
    if (!PrevToken.empty() && !Token.empty()) {
        const char last = PrevToken.back();
        const char next = Token.front();
        if ((last == '-' && next == '-') || (last == '/' && next == '*') ||
            (last == '*' && next == '/'))
            return true;
        if (FScanner->IsPlainWordChar(last) && FScanner->IsPlainWordChar(next)) return true;
        const bool prevNumber = FScanner->IsDigit(PrevToken.front());
        if (prevNumber && (next == '.' || (last == '.' && FScanner->IsDigit(next)))) return true;
    }
    if (PrevKinds.Empty()) return false;
    const TQBTokenKinds quoted = qtkIdentifier | qtkString;
    const bool prevPlain = !PrevKinds.ContainsAny(quoted);
    const bool plain = !Kinds.ContainsAny(quoted);
    if (prevPlain && IsOneOf(PrevToken, "#&(.:[{@")) return false;
    if (plain && IsOneOf(Token, "),.]}")) return false;
    const TQBTokenKinds operators = qtkArithmetic | qtkComparison;
    if (plain && IsOneOf(Token, "([{") && !PrevKinds.ContainsAny(operators)) return false;
    // Two operators join (`<=`, `*-1`); quoted text is no operator, whatever its text
    // (`'*' '*'` written together would be one text).
    if (plain && prevPlain && Kinds.ContainsAny(operators) && PrevKinds.ContainsAny(operators))
        return false;
    if (prevPlain && IsOneOf(PrevToken, "-") && PrevKinds.Contains(qtkArithmetic) &&
        Kinds.ContainsAny(qtkInteger | qtkFloat))
        return false;
    return true;
}

// One operand being read: what the reader knows after each token, and its steps. Every
// token passes the stop test, the bracket count, the alias test, then adds to the name and
// the rebuilt text; once the operand ends, its name is split, the item filled and the table
// of its qualifier found.
class TQBOperandReader {
public:
    TQBOperandReader(TQBSelectParser& Parser, TQBTokenKinds StopKinds,
                     const std::string& AllowedWords, TQBParseOptions Options)
        : FParser(Parser), FScanner(*Parser.FScanner), FStopKinds(StopKinds),
          FAllowedWords(AllowedWords), FOptions(Options),
          FAllowAlias((Options & poAllowAlias) != 0),
          FExpression(Parser.FReader->LastOperandText),
          FNameParts(Parser.FReader->OperandNameParts), FTexts(Parser.FReader->OperandTexts) {
        FNameParts.clear();
        FTexts.Clear();
    }

    // Reads the operand into Item; false when it cannot be read.
    bool Read(TQBFunctionDef& Item, TQBTableDef*& TableDef);

private:
    enum class TAliasStep { None, Taken, Fault };

    bool IsPlainWord() const;
    void ReadPlainName();
    bool EndsOperand(const std::string& Token, TQBTokenKinds Kinds, bool Plain) const;
    void CatchUpPlainName();
    bool CountBracket(const std::string& Token, bool Plain);
    TAliasStep ReadAlias(const std::string& Token, TQBTokenKinds Kinds, bool Plain);
    void NoteAliasMayFollow(const std::string& Token, TQBTokenKinds Kinds, bool Plain);
    void ReadFirstToken(const std::string& Token, TQBTokenKinds Kinds, bool Plain);
    void ReadFurtherToken(const std::string& Token, TQBTokenKinds Kinds, bool Plain, bool Attached);
    void ExtendName(const std::string& Text, TQBTokenKinds Kinds, bool Plain,
                    const std::string& Token);
    void AddNamePart(const std::string& Text);
    // The last part of the name ReadPlainName read.
    std::string_view PlainLastPart() const;
    void SplitName(std::string& Qualifier, std::string& FieldName);
    void FillItem(TQBFunctionDef& Item, const std::string& FieldName);
    void FindTable(TQBFieldDef& Field, const std::string& Qualifier, TQBTableDef*& TableDef);

    TQBSelectParser& FParser;
    TQBSQLScanner& FScanner;
    const TQBTokenKinds FStopKinds;
    const std::string& FAllowedWords;
    const TQBParseOptions FOptions;
    const bool FAllowAlias;
    // The rebuilt text, made in place where the caller finds the operand as written.
    std::string& FExpression;
    // The parts of the dotted name, in storage the parser keeps.
    std::vector<std::string>& FNameParts;

    int FDepth = 0;
    int FTokenCount = 0;
    TQBFunctionKind FKind = fkUnknown;
    bool FFirst = true;
    bool FExpectAlias = false;
    // Set when the token before may be followed by an implicit alias: decided by the kind of
    // the next token once it is read, which spares a look ahead.
    bool FAliasMayFollow = false;
    bool FNameBroken = false;
    // Set while the previous token is the last name part, not yet copied to FPrevToken.
    bool FPrevIsLastPart = false;
    // Whether a name part may have come quoted: only parts of plain words surely did not.
    bool FQuotedParts = false;
    // Set while the name parts are only in FName: plain words hold no point, so the parts
    // are the name split at its points, made only when a further token needs them.
    bool FPartsInName = false;
    // Where ReadPlainName's name has its last point (npos: none).
    std::size_t FLastPoint = std::string::npos;
    // The texts being built, in storage the parser keeps.
    TQBParseReader::TOperandTexts& FTexts;
    std::string& FAlias = FTexts.Alias;
    std::string& FName = FTexts.Name;
    std::string& FFunctionName = FTexts.FunctionName;
    std::string& FPrevToken = FTexts.PrevToken;
    std::string& FStringValue = FTexts.StringValue;
    std::string& FFormatted = FTexts.Formatted;
    // A quoted star is taken as a name in its quotes (see IsQuotedStar).
    std::string& FStarName = FTexts.StarName;
    TQBTokenKinds FPrevKinds;
};

bool TQBOperandReader::IsPlainWord() const {
    const std::string& token = FScanner.GetToken();
    return FScanner.GetTokenKinds() == TQBTokenKinds(qtkIdentifier) && !FScanner.GetInQuote() &&
           !token.empty() && !FScanner.IsDigit(token.front());
}

// The common operand, a dotted name of plain words (`c`, `t.c`, `s.t.c`), read straight:
// the token loop would do exactly this for these tokens, and takes over at the first token
// that is no such part (the state is the same at every token boundary).
void TQBOperandReader::ReadPlainName() {
    const TQBTokenKinds point(qtkSymbol);
    FKind = fkField;
    FFirst = false;
    FTokenCount = 1;
    FName = FScanner.GetToken();
    FPartsInName = true;
    Next(FScanner);
    // A name may follow as the implicit alias (`CustomerID cid`).
    FAliasMayFollow = FAllowAlias;
    bool endsWithPoint = false;
    while (FScanner.GetTokenKinds() == point && !FScanner.GetInQuote() &&
           IsChar(FScanner.GetToken(), '.')) {
        // The point: the name goes on without a space, and no alias follows a point.
        FAliasMayFollow = false;
        FLastPoint = FName.size();
        FName += '.';
        ++FTokenCount;
        Next(FScanner);
        if (!IsPlainWord()) {
            endsWithPoint = true;
            break;
        }
        // The next part; after it an implicit alias may follow.
        FName += FScanner.GetToken();
        ++FTokenCount;
        FAliasMayFollow = FAllowAlias;
        Next(FScanner);
    }
    // Plain words need no quotes and no spaces: the text is the name.
    FExpression = FName;
    if (endsWithPoint) {
        FPrevToken.assign(1, '.');
        FPrevKinds = point;
    } else {
        FPrevIsLastPart = true;
        FPrevKinds = TQBTokenKinds(qtkIdentifier);
    }
}

bool TQBOperandReader::EndsOperand(const std::string& Token, TQBTokenKinds Kinds,
                                   bool Plain) const {
    if (Plain && IsChar(Token, ',')) return true;
    const TQBTokenKinds keywordFunction = qtkKeyword | qtkFunction;
    if (Kinds.ContainsAny(FStopKinds) && !InWordList(Token, FAllowedWords) &&
        (Kinds != keywordFunction || FStopKinds.ContainsAll(keywordFunction)))
        return true;
    // A join word ends a join condition; LEFT( and RIGHT( stay function calls.
    if ((FOptions & poStopAtJoinWords) && !FFirst && Plain && IsJoinClauseWord(Token)) {
        if (!Kinds.Contains(qtkFunction) || NextIsWord(FScanner)) return true;
        std::string next;
        FScanner.PeekToken(next);
        return next != "(";
    }
    return false;
}

// Makes what ReadPlainName left undone, once a further token needs it: the name parts and
// the previous token.
void TQBOperandReader::CatchUpPlainName() {
    if (FPartsInName) {
        for (std::size_t start = 0; start < FName.size();) {
            std::size_t point = FName.find('.', start);
            if (point == std::string::npos) point = FName.size();
            FNameParts.emplace_back(FName, start, point - start);
            start = point + 1;
        }
        FPartsInName = false;
    }
    if (FPrevIsLastPart) {
        FPrevToken = PlainLastPart();
        FPrevIsLastPart = false;
    }
}

// Counts brackets; false at a closing bracket that belongs to the caller.
bool TQBOperandReader::CountBracket(const std::string& Token, bool Plain) {
    if (Plain && IsChar(Token, '(')) {
        ++FDepth;
    } else if (Plain && IsChar(Token, ')') && --FDepth < 0) {
        FDepth = 0;
        return false;
    }
    return true;
}

// The alias of a select-list item: the name after AS, or after a token that may take one.
TQBOperandReader::TAliasStep TQBOperandReader::ReadAlias(const std::string& Token,
                                                         TQBTokenKinds Kinds, bool Plain) {
    if (!FAlias.empty() || (FExpectAlias && !Kinds.Contains(qtkIdentifier)))
        return TAliasStep::Fault;
    if (FExpectAlias) {
        FAlias = Token;
        return TAliasStep::Taken;
    }
    if (FDepth == 0 && Plain && Kinds.Contains(qtkKeyword) && SameText(Token, "AS")) {
        FExpectAlias = true;
        return TAliasStep::Taken;
    }
    return TAliasStep::None;
}

// An implicit alias may follow when the next token is a name: `t.a b`, `sum(x) total`, and
// after a single token too (`CustomerID cid`, `1 one`), except the `*` of all columns.
void TQBOperandReader::NoteAliasMayFollow(const std::string& Token, TQBTokenKinds Kinds,
                                          bool Plain) {
    const TQBTokenKinds aliasBefore = qtkKeyword | qtkFunction | qtkSymbol | qtkInteger |
                                      qtkFloat | qtkString | qtkIdentifier | qtkBoolean;
    if (FAllowAlias && FDepth == 0 && Kinds.ContainsAny(aliasBefore) &&
        !Kinds.Contains(qtkArithmetic) &&
        !(Plain && (IsChar(Token, '.') || IsChar(Token, ':') || (FFirst && IsChar(Token, '*')))))
        FAliasMayFollow = true;
}

void TQBOperandReader::AddNamePart(const std::string& Text) {
    if (HoldsOpeningQuote(FScanner))
        FNameParts.push_back(WrappedToken(FScanner));
    else
        FNameParts.push_back(Text);
    FQuotedParts = true;
}

// The first token decides the kind.
void TQBOperandReader::ReadFirstToken(const std::string& Token, TQBTokenKinds Kinds, bool Plain) {
    FKind = FParser.KindOfToken(Kinds);
    if (FKind == fkFunction) {
        FFunctionName = FParser.FormatToken(Token, Kinds);
    } else if (FKind == fkUnknown) {
        if (Plain && IsChar(Token, ':'))
            FKind = fkParameter;
        else if (!IsChar(Token, '*'))
            FKind = fkExpression;
    }
    if (FKind != fkFunction && FKind != fkParameter) {
        FName = FParser.FormatToken(Token, Kinds);
        AddNamePart(FName);
        FParser.AppendQuotedToken(FExpression, FName, Kinds);
    }
    if (FKind == fkString) {
        const char open = FScanner.GetInQuote() && FScanner.GetQuoteChar() != 0
                              ? FScanner.GetQuoteChar()
                              : FScanner.StringQuoteChar();
        FStringValue = Undouble(Token, open);
    }
    FFirst = false;
}

// A further token: the dotted name grows or is broken, the kind may change, and the token
// joins the rebuilt text.
void TQBOperandReader::ReadFurtherToken(const std::string& Token, TQBTokenKinds Kinds, bool Plain,
                                        bool Attached) {
    // Only keywords and function names change their letter case.
    const bool keepsCase =
        Kinds.Contains(qtkIdentifier) || !Kinds.ContainsAny(qtkFunction | qtkKeyword);
    if (!keepsCase) FFormatted = FParser.FormatToken(Token, Kinds);
    const std::string& text = keepsCase ? Token : FFormatted;
    const bool identBeforeClose = FPrevKinds.Contains(qtkIdentifier) && Plain && IsChar(Token, ')');
    const bool callOpen = FPrevKinds.Contains(qtkFunction) && Plain && IsChar(Token, '(');
    if (!FNameBroken && !identBeforeClose && !callOpen) ExtendName(text, Kinds, Plain, Token);
    if (FKind == fkFunction && FDepth == 0 && !(Plain && IsChar(Token, ')'))) FKind = fkExpression;
    if ((FKind == fkInteger || FKind == fkFloat || FKind == fkString) &&
        !Kinds.Contains(qtkArithmetic) && FParser.KindOfToken(Kinds) != FKind)
        FKind = fkExpression;
    const bool textBefore = !FExpression.empty() || !FFunctionName.empty();
    if (textBefore && !Attached &&
        FParser.NeedSpace(FPrevToken, Token, SpacingKinds(FScanner, Kinds), FPrevKinds))
        FExpression += ' ';
    FParser.AppendQuotedToken(FExpression, text, Kinds);
}

// The dotted name goes on with a name after a point or a point after a name; anything else
// breaks it for good.
void TQBOperandReader::ExtendName(const std::string& Text, TQBTokenKinds Kinds, bool Plain,
                                  const std::string& Token) {
    const bool prevPlain = !FPrevKinds.ContainsAny(qtkIdentifier | qtkString);
    const bool prevPoint = prevPlain && IsChar(FPrevToken, '.');
    const bool point = Plain && IsChar(Token, '.');
    if ((FName.empty() && Kinds.Contains(qtkIdentifier)) ||
        (prevPoint && (Kinds.Contains(qtkIdentifier) || (Plain && IsChar(Token, '*')))) ||
        (FPrevKinds.Contains(qtkIdentifier) && point)) {
        FName += Text;
        if (!point) AddNamePart(Text);
    } else {
        FName.clear();
        FNameParts.clear();
        FNameBroken = true;
    }
}

std::string_view TQBOperandReader::PlainLastPart() const {
    return FLastPoint == std::string::npos ? std::string_view(FName)
                                           : std::string_view(FName).substr(FLastPoint + 1);
}

// The name: discarded when empty or ending with a point, else split into the column and
// its qualifier.
void TQBOperandReader::SplitName(std::string& Qualifier, std::string& FieldName) {
    if (FName.empty() || FName.back() == '.') {
        FName.clear();
        if (FKind == fkField) FKind = fkExpression;
        return;
    }
    if (FKind != fkField && FKind != fkFunction && !FPartsInName) {
        // Only a column reference has a qualifier: 0.5 and 'a.b' name no table.
        FieldName = FName;
        return;
    }
    bool wrapped = false;
    if (FQuotedParts)
        for (const std::string& part : FNameParts)
            wrapped = wrapped || (!part.empty() && FScanner.IsIdentQuote(part.front()));
    if (FPartsInName) {
        // Plain words only: the last part is the column, the rest its qualifier.
        FieldName = PlainLastPart();
    } else if (!wrapped && !FNameParts.empty() &&
               FNameParts.back().find('.') == std::string::npos &&
               FName.size() >= FNameParts.back().size()) {
        // Parts read without quotes: the name is already the parts joined by points.
        FieldName = std::move(FNameParts.back());
    } else {
        if (FNameParts.size() > 1) FName = JoinNameParts(FScanner, FNameParts);
        const char open = FScanner.IdentQuoteChar();
        const char close = FScanner.ClosingQuote(open);
        Qualifier = ExtractQualifier(FName, open, close);
        FieldName = ExtractLastName(FName, open, close);
        return;
    }
    if (FName.size() > FieldName.size())
        Qualifier.assign(FName, 0, FName.size() - FieldName.size() - 1);
}

// Fills Item by the kind read. The base SetKind: the select list gives aliases itself,
// numbered over all tables.
void TQBOperandReader::FillItem(TQBFunctionDef& Item, const std::string& FieldName) {
    const bool field = Item.AsFieldDef() != nullptr;
    if (Item.ArgumentCount() > 0) Item.Arguments().Clear();
    if (FKind == fkFunction && FExpression.empty()) {
        // Written without brackets (@@VERSION, CURRENT_USER): kept as it was written.
        Item.SetName(FFunctionName);
        Item.TQBFunctionDef::SetKind(fkExpression);
    } else if (FKind == fkFunction) {
        Item.SetName(FFunctionName);
        Item.TQBFunctionDef::SetKind(fkFunction);
        TQBFunctionDef* argument = Item.Arguments().Add();
        if (!FName.empty()) {
            argument->SetName(field ? FieldName : StripParentheses(FName));
            argument->SetKind(fkField);
        } else {
            argument->SetName(StripParentheses(FExpression));
            argument->SetKind(fkExpression);
        }
    } else if (!FName.empty() && FKind == fkField) {
        Item.SetName(field ? FieldName : FName);
        Item.TQBFunctionDef::SetKind(fkField);
    } else if (FKind == fkString && FTokenCount == 1) {
        // One literal: its value without quotes, or the literal as written with the
        // extended syntax. A value that itself looks quoted keeps its quotes, so that
        // writing it does not take them for the literal's own.
        const char quote = FScanner.StringQuoteChar();
        const bool looksQuoted = FStringValue.size() > 1 && FStringValue.front() == quote &&
                                 FStringValue.back() == quote;
        Item.SetName(FParser.ExtendedSyntax() || looksQuoted ? FExpression : FStringValue);
        Item.TQBFunctionDef::SetKind(fkString);
    } else {
        // Several tokens of string literals are an expression, written as read.
        if (FKind == fkString) FKind = fkExpression;
        Item.SetName(FFunctionName + FExpression);
        Item.TQBFunctionDef::SetKind(FKind);
    }
}

// The table of a field's qualifier (made for an unknown one when the options say so), or
// the blank table; and the field's alias.
void TQBOperandReader::FindTable(TQBFieldDef& Field, const std::string& Qualifier,
                                 TQBTableDef*& TableDef) {
    if (!FName.empty() && (FKind == fkField || FKind == fkFunction)) {
        TableDef = FParser.FindQualifierTable(Qualifier);
        if (!TableDef && (FOptions & poCreateTable)) {
            TableDef = FParser.FTableDefs->Add();
            TableDef->SetTableName(Qualifier);
            TableDef->SetAlias(Qualifier);
        }
    } else {
        TableDef = FParser.FTableDefs->FindByAlias("");
    }
    if (!FAlias.empty()) {
        // A dialect that writes aliases as they are gets one that needs quotes quoted.
        if (!FScanner.QuoteAliases() && FScanner.NeedsQuotes(FAlias))
            FAlias = FScanner.QuoteIdentifier(FAlias);
        Field.Alias = FAlias;
    }
}

bool TQBOperandReader::Read(TQBFunctionDef& Item, TQBTableDef*& TableDef) {
    // A statement holding bytes of 128 and above goes the general way: its words may be
    // names that are written quoted.
    if (!FParser.FReader->TextHoldsHighBytes &&
        !FStopKinds.ContainsAny(qtkIdentifier | qtkSymbol) && IsPlainWord())
        ReadPlainName();
    for (;;) {
        TQBTokenKinds kinds = FScanner.GetTokenKinds();
        if (kinds.Contains(qtkEnd)) break;
        const bool quotedStar = IsQuotedStar(FScanner);
        if (quotedStar) {
            if (FStarName.empty()) FStarName = QuotedStar(FScanner);
            kinds.Exclude(qtkArithmetic);
        }
        // The current token stays in place until Next (peeking restores it).
        const std::string& token = quotedStar ? FStarName : FScanner.GetToken();
        const bool plain = IsPlainToken(FScanner, kinds);
        if (FAliasMayFollow) {
            FExpectAlias = kinds.Contains(qtkIdentifier);
            FAliasMayFollow = false;
        }
        if (FDepth == 0 && EndsOperand(token, kinds, plain)) break;
        CatchUpPlainName();
        if (IsUnwritableName(FScanner)) return false;
        if (!CountBracket(token, plain)) break;
        if (FAllowAlias) {
            const TAliasStep alias = ReadAlias(token, kinds, plain);
            if (alias == TAliasStep::Fault) return false;
            if (alias == TAliasStep::Taken) {
                Next(FScanner);
                continue;
            }
        }
        NoteAliasMayFollow(token, kinds, plain);
        // A national string literal keeps its prefix attached: N'x'.
        const bool attached = IsNationalString(FScanner, FPrevToken, FPrevKinds);
        ++FTokenCount;
        if (FFirst)
            ReadFirstToken(token, kinds, plain);
        else
            ReadFurtherToken(token, kinds, plain, attached);
        FPrevToken.assign(token);
        FPrevKinds = SpacingKinds(FScanner, kinds);
        Next(FScanner);
    }

    std::string& qualifier = FTexts.Qualifier;
    std::string& fieldName = FTexts.FieldName;
    SplitName(qualifier, fieldName);
    FillItem(Item, fieldName);
    // The operand as written: the function name before its arguments, and a parameter keeps
    // its colon.
    if (!FFunctionName.empty()) FExpression.insert(0, FFunctionName);
    if (FKind == fkParameter) FExpression.insert(0, 1, ':');
    // A blank qualifier (`[ ].a`) would name the blank table, the one of no name.
    if (!qualifier.empty() &&
        IsBlankText(StartsQuoted(FScanner, qualifier) ? FScanner.UnquoteName(qualifier) : qualifier))
        return false;
    if (TQBFieldDef* field = Item.AsFieldDef()) FindTable(*field, qualifier, TableDef);
    return FDepth == 0;
}

void TQBSelectParser::ParseOperand(TQBFunctionDef* Item, TQBTableDef*& TableDef,
                                   TQBTokenKinds StopKinds, const std::string& AllowedWords,
                                   TQBParseOptions Options) {
    TableDef = nullptr;
    FReader->LastOperandText.clear();
    if (!Item || !TQBOperandReader(*this, StopKinds, AllowedWords, Options).Read(*Item, TableDef))
        FState = psError;
}
