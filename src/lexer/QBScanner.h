// The SQL token scanner: TQBScanner keeps the reading position, the current token, the quote
// state and the parenthesis depth; TQBSQLScanner reads and classifies SQL tokens, holds the
// dialect's word lists and quotes names and strings. A dialect derives from TQBSQLScanner and
// replaces only values (character classes, quote characters, word lists), never the reader.
//
// Text is UTF-8 read byte by byte; bytes of 128 and above belong to no character class and
// therefore act as word characters. Positions and columns are 1-based and count bytes.
// Blanks, tabs, line breaks (CR LF or a lone LF) and comments ("--" to the end of the line,
// "/* ... */") are skipped between tokens; inside quotes everything is taken raw.
//
// Construction takes two steps because the word lists come from virtual providers:
// construct, then Init() (or use MakeScanner<T>()). SetText runs Init when it was not run.
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

    // Remembers where the reader stands and puts it back when it goes out of scope, also
    // when reading throws: the common part of every peek.
    class TReaderState {
    public:
        explicit TReaderState(TQBScanner& Scanner)
            : FScanner(Scanner), FToken(Scanner.FToken), FPosition(Scanner.FPosition),
              FBracketDepth(Scanner.FBracketDepth), FInQuote(Scanner.FInQuote),
              FQuoteChar(Scanner.FQuoteChar) {}
        ~TReaderState() {
            FScanner.FToken = FToken;
            FScanner.FPosition = FPosition;
            FScanner.FBracketDepth = FBracketDepth;
            FScanner.FInQuote = FInQuote;
            FScanner.FQuoteChar = FQuoteChar;
        }
        TReaderState(const TReaderState&) = delete;
        TReaderState& operator=(const TReaderState&) = delete;

    private:
        TQBScanner& FScanner;
        const std::string FToken;
        const int FPosition;
        const int FBracketDepth;
        const bool FInQuote;
        const char FQuoteChar;
    };

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
    // virtual providers and caches the character classes. Runs once; later calls do nothing.
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

    // Reads the next token as NextToken does and makes it the current token, without handing
    // out a copy: the parser's way of moving on.
    void Advance() {
        // Once the reader is known to be this class's own and the word table is up to date,
        // the common tokens are read straight into the current token.
        if (FOwnReader > 0 && FWords.IsFresh() && ReadPlainToken(FToken)) return;
        AdvanceSlowly();
    }
    // Every word list S is in, as TQBWordFlag bits, with one probe.
    std::uint8_t WordFlags(std::string_view S) const {
        EnsureReady();
        return FWords.Lookup(S);
    }
    // Peeks the next token and returns its kinds.
    TQBTokenKinds NextTokenKinds();
    // True for a byte that continues a plain word: no delimiter, blank, quote or line feed
    // (the cached answer of the class operations).
    bool IsPlainWordChar(char Ch) const {
        EnsureReady();
        return (CharClass(Ch) & (ccDelimiter | ccSpace | ccStringQuote | ccIdentQuote | ccLineFeed)) == 0;
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
    TStringList& GetKeywords() { return *FKeywords; }
    const TStringList& GetKeywords() const { return *FKeywords; }
    TStringList& GetFunctions() { return *FFunctions; }
    const TStringList& GetFunctions() const { return *FFunctions; }

    // Re-reads the character classes into the reader's table; a dialect calls it when a
    // setting changes what its class operations answer.
    void CharClassesChanged();

protected:
    void EnsureInitialized() override { Init(); }
    // True when the object is exactly of this class, whose reader operations (NextToken,
    // PeekToken, IsBoolean, IsIdentifier, UnquoteName) are known here. A dialect overrides it
    // to vouch for its own class only, so any further subclass reads through the virtual
    // operations it may have replaced.
    virtual bool IsOwnReader() const;

    // Classes cached from the virtual class operations, one entry per byte.
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
        // Bytes that end a run of plain word characters.
        ccWordStop = ccDelimiter | ccSpace | ccStringQuote | ccIdentQuote | ccLineFeed | ccPoint,
    };
    std::uint16_t CharClass(char Ch) const { return FCharClasses[static_cast<unsigned char>(Ch)]; }
    // Makes sure the class table is filled (the second construction step has run).
    void EnsureClasses() const { EnsureReady(); }
    // True once the reader has found the object to be exactly its own class (IsOwnReader).
    bool KnownOwnReader() const { return FOwnReader > 0; }
    // S is non-empty, its first byte has class First and every further byte class Rest.
    bool AllOfClass(const std::string& S, std::uint16_t First, std::uint16_t Rest) const {
        if (S.empty() || (CharClass(S[0]) & First) == 0) return false;
        if ((CharClass('\0') & Rest) != 0) {  // the string's terminating NUL would not stop us
            for (std::size_t i = 1; i < S.size(); ++i)
                if ((CharClass(S[i]) & Rest) == 0) return false;
            return true;
        }
        std::size_t i = 1;
        while ((CharClass(S[i]) & Rest) != 0) ++i;
        return i == S.size();
    }

    TQBTokenKinds FTokenKinds;
    TQBTokenKinds FNextTokenKinds;
    std::unique_ptr<TStringList> FKeywords;
    std::unique_ptr<TStringList> FFunctions;
    std::unique_ptr<TStringList> FSymbolOperators;
    std::unique_ptr<TStringList> FComparisons;
    std::unique_ptr<TStringList> FCriterionOperators;
    std::unique_ptr<TStringList> FArithmetics;
    int FLine = 1;
    int FColumn = 1;
    int FSpaceCount = 0;
    bool FEmptyQuote = false;
    bool FQuoteNames = false;
    bool FQuoteAliases = false;
    std::string FTrueText;
    std::string FFalseText;

private:
    // Advance for the first read, a dialect's own NextToken, or tokens of the general reader.
    void AdvanceSlowly();
    // Reads the next token into Token; the current token is left alone (the general reader
    // names it in the unterminated-string error).
    void ReadToken(std::string& Token);
    // The general reader: skipped tokens one by one, then the checks that quoted text needs.
    void ReadGeneralToken(std::string& Token);
    // The common cases outside quotes (a run of word characters, a delimiter) read in one go
    // with exactly the general reader's result; false, with nothing read but blanks, when the
    // general reader must take over.
    bool ReadPlainToken(std::string& Token);
    // Reads the quote that closes the current one, as the general reader would, when that is
    // the plain case; false, with nothing read, otherwise.
    bool ReadClosingQuote();
    // The end of the text outside quotes: an empty end token.
    bool ReadTextEnd(std::string& Token);
    // Skips a run of blanks and line breaks outside quotes, counting them.
    void SkipBlanks();
    // Kinds of a word read outside quotes, from its word flags and the classes of its first
    // byte (First) and of all further bytes together (Rest, every bit set when none).
    TQBTokenKinds WordKinds(const std::string& Token, std::uint8_t Flags, std::uint16_t First,
                            std::uint16_t Rest) const {
        // Numbers and identifiers are told by the cached classes, the same test IsNumber and
        // IsIdentifier make, without two virtual calls per word.
        if ((Flags & (qwfKeyword | qwfFunction)) != 0)
            return TQBTokenKinds::FromBits(static_cast<std::uint16_t>(
                ((Flags & qwfFunction) != 0 ? qtkFunction : 0) |
                ((Flags & qwfKeyword) != 0 ? qtkKeyword : 0)));
        if ((First & Rest & ccDigit) != 0) return qtkInteger;
        if (FOwnReader > 0 ? IsBooleanText(Token) : IsBoolean(Token)) return qtkBoolean;
        if (((First & ccNameStart) != 0 && (Rest & ccNameChar) != 0) ||
            IsIdentifier(UnquoteName(Token)))
            return qtkIdentifier;
        return TQBTokenKinds();
    }
    // True for the dialect's true or false text (the base IsBoolean test).
    bool IsBooleanText(const std::string& S) const {
        return SameText(S, FFalseText) || SameText(S, FTrueText);
    }
    // The cached answer of IsOwnReader, asked once the object is fully built.
    bool OwnReader() {
        if (FOwnReader < 0) FOwnReader = IsOwnReader() ? 1 : 0;
        return FOwnReader != 0;
    }
    struct TRestoreReader;
    struct TRestorePosition;
    // The cached answer of ClosingQuote.
    char ClosingQuoteOf(char Ch) const { return FClosingQuotes[static_cast<unsigned char>(Ch)]; }
    // One pass of the reader; returns true when the token read is to be skipped.
    bool ReadOneToken(std::string& Token);
    // Reads a comment starting at FPosition (the caller has checked its opening characters),
    // counting the lines it spans; true when it has set FColumn itself.
    bool ReadComment(std::string& Token);
    // Extends the one-character Token while it begins an entry flagged PrefixFlag; true when
    // the result is an entry flagged EntryFlag (FPosition is then moved past it).
    bool ReadListedSymbol(std::string& Token, std::uint8_t PrefixFlag, std::uint8_t EntryFlag);
    // Runs the second construction step if the owner has not.
    void EnsureReady() const {
        if (!FInitialized) InitLate();
    }
    void InitLate() const;
    void LoadList(TStringList& List, const std::string& CommaText);

    std::array<std::uint16_t, 256> FCharClasses{};
    std::array<char, 256> FClosingQuotes{};
    TQBWordTable FWords;
    // Where Advance reads a token the general reader returns, and NextTokenKinds peeks into.
    std::string FScratch;
    bool FInitialized = false;
    signed char FOwnReader = -1;  // unknown until first asked
};

// Constructs a scanner and runs its second construction step.
template <class TScanner>
std::unique_ptr<TScanner> MakeScanner() {
    auto scanner = std::make_unique<TScanner>();
    scanner->Init();
    return scanner;
}
