// The SQL token scanner: TQBScanner keeps the reading position, the current token, the quote
// state and the parenthesis depth; TQBSQLScanner reads and classifies SQL tokens, holds the
// dialect's word lists and quotes names and strings.
//
// A dialect is data: the answers of its character class and quote operations, gathered into
// a 256-entry class table and a table of closing quotes; its word lists, mirrored by one
// hash table; its Boolean texts. A dialect derives from TQBSQLScanner and overrides the
// operations that provide these values; the one reader and the one set of quoting rules
// read the data, not the providers. The reading and quoting operations themselves stay
// virtual and the scanner goes through them (NextToken from Advance and PeekToken, Skip,
// IsQuoteEnd, UnquoteName, QuoteDottedToken, NeedsQuotes from QuoteName and
// QuoteIdentifier), so a dialect that replaces one is obeyed everywhere.
//
// Text is UTF-8 read byte by byte; bytes of 128 and above belong to no character class and
// therefore act as word characters. Positions and columns are 1-based and count bytes.
// Blanks, tabs, line breaks (CR LF or a lone LF) and comments ("--" to the end of the line,
// "/* ... */") are skipped between tokens; inside quotes everything is taken raw.
//
// Construction takes two steps because the word lists come from virtual providers:
// construct, then Init() (or use MakeScanner<T>()). A scanner whose owner skipped the second
// step runs it on first use.
#pragma once

#include "lexer/QBTokenKinds.h"
#include "lexer/QBWordTable.h"
#include "toolkit/TextCompare.h"
#include "toolkit/TStringList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

class TQBScanner {
public:
    TQBScanner();
    virtual ~TQBScanner() = default;
    TQBScanner(const TQBScanner&) = delete;
    TQBScanner& operator=(const TQBScanner&) = delete;

    // Character classes.
    virtual bool IsLetter(char Ch) const;
    virtual bool IsDelimiter(char Ch) const;
    virtual bool IsDigit(char Ch) const;
    virtual bool IsStringQuote(char Ch) const;
    virtual bool IsSpace(char Ch) const;
    // Reads the next token into Token and restores the scanner state (also when reading throws).
    virtual void PeekToken(std::string& Token);
    virtual bool IsOpenBracket(char Ch) const;
    virtual bool IsCloseBracket(char Ch) const;
    // Back to the start of the text: no token, position 1, outside quotes, depth 0.
    virtual void Reset();
    // Reset, then read the first token into Token.
    virtual void FirstToken(std::string& Token);
    // Reads the next token, stores it as the current token and returns it in Token.
    virtual void NextToken(std::string& Token) = 0;
    // The character that closes a quote opened by Ch.
    virtual char ClosingQuote(char Ch) const;
    // Moves the position by Delta bytes (back when negative), keeping the quote state and the
    // parenthesis depth in step with the characters passed.
    virtual void Skip(int Delta);

    // Sets the text and reads its first token at once.
    void SetText(const std::string& Text);

    const std::string& GetText() const { return FText; }
    // The current token.
    const std::string& GetToken() const { return FToken; }
    // 1-based index of the next byte to read.
    int GetPosition() const { return FPosition; }
    int GetLength() const { return FLength; }
    // Parenthesis nesting outside quotes.
    int GetBracketDepth() const { return FBracketDepth; }
    // True while the reader is inside a quoted string or identifier.
    bool GetInQuote() const { return FInQuote; }
    // The opening quote of the quote being read; 0 when none.
    char GetQuoteChar() const { return FQuoteChar; }

protected:
    // Hook for SetText: a scanner that needs its second construction step runs it here.
    virtual void EnsureInitialized() {}
    // Whether Skip counts Ch as opening or closing a quote: the string quotes here.
    virtual bool IsSkippedQuote(char Ch) const { return IsStringQuote(Ch); }

    std::string FText;
    int FPosition = 1;
    int FLength = 0;
    std::string FToken;
    int FBracketDepth = 0;
    bool FInQuote = false;
    char FQuoteChar = 0;
};

class TQBSQLScanner : public TQBScanner {
public:
    TQBSQLScanner();
    ~TQBSQLScanner() override;

    // Second construction step: loads the word lists and the Boolean texts through the
    // virtual providers and fills the class table. Runs once; later calls do nothing.
    void Init();

    void PeekToken(std::string& Token) override;
    void Reset() override;
    void NextToken(std::string& Token) override;
    void Skip(int Delta) override;

    // True when S is in the arithmetic operator list.
    virtual bool IsArithmetic(const std::string& S) const;
    // True when S is in the extra symbol operator list.
    virtual bool IsSymbolOperator(const std::string& S) const;
    // True when S is in the comparison list the reader joins into one token.
    virtual bool IsComparison(const std::string& S) const;
    // Letter, digit or '_'.
    virtual bool IsIdentChar(char Ch) const;
    // S is non-empty, starts with a letter and continues with identifier characters.
    virtual bool IsIdentifier(const std::string& S) const;
    // S is non-empty and all digits (no sign, no point).
    virtual bool IsNumber(const std::string& S) const;
    // S equals the false or the true text, ignoring case.
    virtual bool IsBoolean(const std::string& S) const;
    // True when S is in the keyword list (ignoring case).
    virtual bool IsKeyword(const std::string& S) const;
    // True when S is in the function list (ignoring case).
    virtual bool IsFunction(const std::string& S) const;
    // Whether the quote character Ch met inside a quote opened by QuoteChar closes it, given
    // the text collected so far (Token) and the character after Ch (NextCh).
    virtual bool IsQuoteEnd(char Ch, const std::string& Token, char QuoteChar, char NextCh) const;
    // The dialect's opening identifier quote.
    virtual char IdentQuoteChar() const;
    // Whether aliases are passed through QuoteName when SQL is written.
    virtual bool QuoteAliases() const;
    // Whether name quoting is on (always true).
    virtual bool QuoteNamesEnabled() const;
    // The dialect's string quote.
    virtual char StringQuoteChar() const;
    // Built-in word lists as comma texts.
    virtual std::string GetKeywordsText() const;
    virtual std::string GetFunctionsText() const;
    virtual std::string GetArithmeticsText() const;
    virtual std::string GetSymbolOperatorsText() const;
    virtual std::string GetComparisonsText() const;
    virtual std::string GetCriterionOperatorsText() const;
    // S without its identifier quotes, when it has them.
    virtual std::string UnquoteName(const std::string& S) const;
    // Fill and sort each list from its provider.
    virtual void LoadKeywords();
    virtual void LoadFunctions();
    virtual void LoadArithmetics();
    virtual void LoadSymbolOperators();
    virtual void LoadComparisons();
    virtual void LoadCriterionOperators();
    // Sets the texts of the Boolean literals.
    virtual void InitBooleanTexts();
    // Re-wraps a quoted identifier token that contains a point so it stays one name.
    virtual std::string QuoteDottedToken(const std::string& Token, bool WasQuoted) const;
    // Whether Name must be written between identifier quotes.
    virtual bool NeedsQuotes(const std::string& Name) const;
    // Quotes a possibly dotted name part by part, only where needed.
    virtual std::string QuoteName(const std::string& Name) const;
    // Quotes one name part when needed.
    virtual std::string QuoteIdentifier(const std::string& Name) const;
    // Writes S as a string literal (inner quotes doubled) unless it already is one.
    virtual std::string QuoteString(const std::string& S) const;
    virtual bool IsIdentQuote(char Ch) const;
    // True when S is in the criterion operator list.
    virtual bool IsCriterionOperator(const std::string& S) const;

    // Append QuoteName(Name) and QuoteIdentifier(Name) to Out: the writers' form, which
    // copies a name that needs no quotes as it stands. NeedsQuotes decides for both forms.
    void AppendQuotedName(std::string& Out, const std::string& Name) const {
        if (QuotesNeeded(Name))
            Out += QuoteName(Name);
        else
            Out += Name;
    }
    void AppendQuotedIdentifier(std::string& Out, const std::string& Name) const;
    // True when QuoteName and QuoteIdentifier both leave Name as it is.
    bool WritesUnquoted(const std::string& Name) const {
        return !IsWrappedName(Name) && !QuotesNeeded(Name);
    }

    // Reads the next token as NextToken does and makes it the current token, without handing
    // out a copy: the parser's way of moving on. The common token of a dialect that keeps
    // the built-in NextToken is read straight into the current token; every other case goes
    // through NextToken.
    void Advance() {
        if (FAdvancesPlainly && FWords.IsFresh() && ReadPlainToken(FToken)) return;
        NextToken(FToken);
    }
    // Every word list S is in, as TQBWordFlag bits, with one probe.
    std::uint8_t WordFlags(std::string_view S) const {
        EnsureReady();
        return FWords.Lookup(S);
    }
    // Peeks the next token and returns its kinds.
    TQBTokenKinds NextTokenKinds();
    // True for a byte that continues a plain word: no delimiter, blank, quote or line feed.
    bool IsPlainWordChar(char Ch) const {
        EnsureReady();
        return (CharClass(Ch) & (ccDelimiter | ccSpace | ccQuote | ccLineFeed)) == 0;
    }
    // The literal text of a Boolean value.
    std::string BooleanText(bool Value) const;
    void SetBooleanText(bool Value, const std::string& Text);

    // Kinds of the current token.
    TQBTokenKinds GetTokenKinds() const { return FTokenKinds; }
    // 1-based line of the reading position.
    int GetLine() const { return FLine; }
    // 1-based column just after the current token.
    int GetColumn() const { return FColumn; }
    // Blanks, comments and line breaks skipped right before the current token.
    int GetSpaceCount() const { return FSpaceCount; }
    TStringList& GetKeywords() { return FKeywords; }
    const TStringList& GetKeywords() const { return FKeywords; }
    TStringList& GetFunctions() { return FFunctions; }
    const TStringList& GetFunctions() const { return FFunctions; }

    // Re-reads the character classes into the class table; a dialect calls it when a
    // setting changes what its class operations answer.
    void CharClassesChanged();
    // Whether the dialect replaces IsNumber, IsBoolean or IsIdentifier: the reader then asks
    // them of every word (the slow path) instead of reading their answers off the class
    // table and the Boolean texts. MakeScanner sets it from the class it makes; a scanner
    // made otherwise asks them.
    void SetWordTestsReplaced(bool Value) {
        FWordTestsReplaced = Value;
        NoteReplacements();
    }
    // Whether the dialect replaces NextToken: Advance then goes through it. MakeScanner sets
    // it from the class it makes; a scanner made otherwise goes through NextToken.
    void SetNextTokenReplaced(bool Value) {
        FNextTokenReplaced = Value;
        NoteReplacements();
    }
    // The copy of the parser's identifier case sensitivity a dialect keeps; the reader does
    // not use it, and the base dialect keeps none.
    virtual void SetCaseSensitive(bool) {}

protected:
    void EnsureInitialized() override { Init(); }
    bool IsSkippedQuote(char Ch) const override { return (CharClass(Ch) & ccQuote) != 0; }

    // What the class table holds for each byte: the answers of the class operations.
    enum TCharClass : std::uint16_t {
        ccLetter = 0x001,
        ccDigit = 0x002,
        ccDelimiter = 0x004,
        ccSpace = 0x008,
        ccStringQuote = 0x010,
        ccIdentQuote = 0x020,
        ccIdentChar = 0x040,
        ccOpenBracket = 0x080,
        ccCloseBracket = 0x100,
        ccLineFeed = 0x200,
        ccPoint = 0x400,
        ccTextEnd = 0x800,  // the NUL byte, which also ends every text: stops the word loop
        // Bytes that may begin / continue an unquoted name when read: the identifier classes
        // plus "_" to begin and every byte of 128 and above (UTF-8 letters such as Chinese
        // names). Writing keeps the narrower identifier classes: such names go out quoted.
        ccNameStart = 0x1000,
        ccNameChar = 0x2000,
        ccQuote = ccStringQuote | ccIdentQuote,
        // Bytes that end a run of plain word characters.
        ccWordStop = ccDelimiter | ccSpace | ccQuote | ccLineFeed | ccPoint,
    };
    std::uint16_t CharClass(char Ch) const { return FCharClasses[static_cast<unsigned char>(Ch)]; }
    // The class of S's first byte, and the classes all further bytes share (every bit when
    // there are none).
    struct TWordClasses {
        std::uint16_t First = 0;
        std::uint16_t Rest = 0xFFFF;
    };
    TWordClasses WordClasses(std::string_view S) const {
        TWordClasses classes;
        if (S.empty()) return classes;
        classes.First = CharClass(S[0]);
        for (std::size_t i = 1; i < S.size(); ++i) classes.Rest &= CharClass(S[i]);
        return classes;
    }
    // S is non-empty, its first byte has a class of First and every further byte one of Rest.
    bool AllOfClass(std::string_view S, std::uint16_t First, std::uint16_t Rest) const {
        if (S.empty() || (CharClass(S[0]) & First) == 0) return false;
        for (std::size_t i = 1; i < S.size(); ++i)
            if ((CharClass(S[i]) & Rest) == 0) return false;
        return true;
    }
    // S has more than one byte, and identifier quotes (matching or not) at both ends.
    bool HasIdentQuotesAtEnds(std::string_view S) const {
        EnsureReady();
        return S.size() > 1 && (CharClass(S.front()) & ccIdentQuote) != 0 &&
               (CharClass(S.back()) & ccIdentQuote) != 0;
    }
    // S is the true or the false text, ignoring case.
    bool IsBooleanText(const std::string& S) const {
        return SameText(S, FFalseText) || SameText(S, FTrueText);
    }
    // Whether QuoteName and QuoteIdentifier put Name between quotes.
    bool QuotesNeeded(const std::string& Name) const { return FQuoteNames && NeedsQuotes(Name); }
    // Name is longer than two bytes and starts with an identifier quote that its last byte closes.
    bool IsWrappedName(const std::string& Name) const;
    // Runs the second construction step if the owner has not.
    void EnsureReady() const {
        if (!FInitialized) const_cast<TQBSQLScanner*>(this)->Init();
    }

    TQBTokenKinds FTokenKinds;
    TQBTokenKinds FNextTokenKinds;
    TStringList FKeywords;
    TStringList FFunctions;
    TStringList FSymbolOperators;
    TStringList FComparisons;
    TStringList FCriterionOperators;
    TStringList FArithmetics;
    int FLine = 1;
    int FColumn = 1;
    int FSpaceCount = 0;
    bool FEmptyQuote = false;
    bool FQuoteNames = false;
    bool FQuoteAliases = false;
    std::string FTrueText;
    std::string FFalseText;

private:
    // Reads the next token into Token: the current token changes only when Token is it.
    void ReadToken(std::string& Token);
    // The general reader: skipped tokens one by one, then the checks that quoted text needs.
    // The current token stays as it was until the read has succeeded.
    void ReadGeneralToken(std::string& Token);
    // The common cases outside quotes (a run of word characters, a delimiter) read in one go
    // with exactly the general reader's result; false, with nothing read but blanks, when the
    // general reader must take over. Only for a dialect that keeps the word tests: replaced
    // ones are asked by the general reader alone, so the callers test FWordTestsReplaced.
    bool ReadPlainToken(std::string& Token);
    // The word at FPosition, as a view into the text, when the fast path can read it (false,
    // nothing read, otherwise), with the classes of its bytes.
    bool ReadPlainWord(std::string_view& Word, TWordClasses& Classes);
    // Reads the quote that closes the current one when nothing is collected and the quote
    // end test says so; false, with nothing read, otherwise.
    bool ReadClosingQuote();
    // Skips a run of blanks and line breaks outside quotes, counting them.
    void SkipBlanks();
    // One pass of the general reader; returns true when the token read is to be skipped.
    bool ReadOneToken(std::string& Token);
    // The steps of one pass, each reading from FPosition: a quote character (true when it
    // ends the pass), a stretch of quoted text, a decimal fraction after the digits in Token
    // (true when there is one), a delimiter, blank or line break (true when it has set
    // FColumn itself) and a run of word characters.
    bool ReadQuoteChar(std::string& Token, char Ch, std::uint16_t Class);
    void ReadQuotedText(std::string& Token);
    bool ReadFraction(std::string& Token);
    bool ReadSeparator(std::string& Token, char Ch, std::uint16_t Class);
    void ReadWordRun(std::string& Token);
    // Reads a comment starting at FPosition (the caller has checked its opening characters),
    // counting the lines it spans; true when it has set FColumn itself.
    bool ReadComment(std::string& Token);
    // Reads the listed comparison or extra symbol operator that starts with Ch at FPosition
    // into Token and returns its kind; none, with nothing read, when no entry starts there.
    TQBTokenKinds ReadOperator(std::string& Token, char Ch);
    // Reads into Token the longest stretch from FPosition that begins an entry flagged
    // PrefixFlag; true when it is an entry flagged EntryFlag (FPosition is then moved past it).
    bool ReadListedSymbol(std::string& Token, std::uint8_t PrefixFlag, std::uint8_t EntryFlag);
    // The kinds of a word read outside quotes, from its word flags and its classes.
    TQBTokenKinds WordKinds(const std::string& Token, std::uint8_t Flags,
                            TWordClasses Classes) const;
    // The same for a word that is no keyword or function name, asking the word tests.
    TQBTokenKinds WordKindsByTests(const std::string& Token, TWordClasses Classes) const;
    // What the kinds of every token read get last: a bare ";" ends the statement, a listed
    // arithmetic operator is marked.
    TQBTokenKinds FinishKinds(TQBTokenKinds Kinds, const std::string& Token,
                              std::uint8_t Flags) const;
    // Keeps FAdvancesPlainly in step with the two replacement flags.
    void NoteReplacements() { FAdvancesPlainly = !FWordTestsReplaced && !FNextTokenReplaced; }
    // After a read that consumed Last (the byte before FPosition): the depth follows it.
    void FollowBracket(char Last);
    // Moves line and column from position From to FPosition over the bytes between.
    void FollowLines(int From);
    // True when Flag is one of S's word flags.
    bool HasWordFlag(const std::string& S, std::uint8_t Flag) const {
        return (WordFlags(S) & Flag) != 0;
    }
    void LoadList(TStringList& List, const std::string& CommaText);
    // The cached answer of ClosingQuote.
    char ClosingQuoteOf(char Ch) const { return FClosingQuotes[static_cast<unsigned char>(Ch)]; }

    std::array<std::uint16_t, 256> FCharClasses{};
    std::array<char, 256> FClosingQuotes{};
    TQBWordTable FWords;
    // Where the general reader reads a token that is to become the current token, and where
    // NextTokenKinds peeks into.
    std::string FScratch;
    bool FInitialized = false;
    bool FWordTestsReplaced = true;
    bool FNextTokenReplaced = true;
    // Advance may read the common token itself: neither the reader nor the word tests are
    // replaced.
    bool FAdvancesPlainly = false;
};

// True when TScanner keeps the word tests of TQBSQLScanner: the type of a member's address
// names the class that declares it, so a class that overrides one (or hides it from here)
// fails the test.
template <class TScanner>
concept KeepsWordTests =
    std::is_same_v<decltype(&TScanner::IsNumber), decltype(&TQBSQLScanner::IsNumber)> &&
    std::is_same_v<decltype(&TScanner::IsBoolean), decltype(&TQBSQLScanner::IsBoolean)> &&
    std::is_same_v<decltype(&TScanner::IsIdentifier), decltype(&TQBSQLScanner::IsIdentifier)>;

// True when TScanner keeps the reader of TQBSQLScanner (the same test, for NextToken).
template <class TScanner>
concept KeepsNextToken =
    std::is_same_v<decltype(&TScanner::NextToken), decltype(&TQBSQLScanner::NextToken)>;

// Constructs a scanner and runs its second construction step.
template <class TScanner>
std::unique_ptr<TScanner> MakeScanner() {
    auto scanner = std::make_unique<TScanner>();
    if constexpr (std::is_base_of_v<TQBSQLScanner, TScanner>) {
        scanner->SetWordTestsReplaced(!KeepsWordTests<TScanner>);
        scanner->SetNextTokenReplaced(!KeepsNextToken<TScanner>);
    }
    scanner->Init();
    return scanner;
}
