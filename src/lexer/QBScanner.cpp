// The token reader: TQBScanner's position and quote bookkeeping, and TQBSQLScanner's reading,
// classification, peeking and stepping back.
//
// Speed: the reader asks the class table, not the class operations, what a byte is. A fast
// path reads the common tokens outside quotes (a word, a delimiter, the blanks before them)
// in one go; the general reader takes the rest, one skipped token (quote, blank, comment,
// line break) at a time. Runs of word characters and of quoted text are appended at once,
// the word lists are looked up through one hash probe, and the caller's token string is
// filled in place, so a reused string costs no allocation per token.
#include "lexer/QBScanner.h"

#include "lexer/QBParserError.h"
#include "toolkit/TRestoreOnExit.h"

#include <algorithm>

namespace {

// The text collected before a quote character met at the start of a read: none.
const std::string NoText;

}  // namespace

// ---------------------------------------------------------------- TQBScanner

TQBScanner::TQBScanner() { TQBScanner::Reset(); }

bool TQBScanner::IsLetter(char Ch) const { return (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z'); }

bool TQBScanner::IsDelimiter(char Ch) const {
    switch (Ch) {
        case '.': case ',': case '/': case '\\': case ';': case ':': case '(': case ')':
        case '{': case '}': case '[': case ']': case '*': case '+': case '-': case '<':
        case '=': case '>': case '!': case '~': case '\r':
            return true;
        default:
            return false;
    }
}

bool TQBScanner::IsDigit(char Ch) const { return Ch >= '0' && Ch <= '9'; }

bool TQBScanner::IsStringQuote(char Ch) const { return Ch == '\'' || Ch == '"'; }

bool TQBScanner::IsSpace(char Ch) const { return Ch == ' ' || Ch == '\t'; }

void TQBScanner::PeekToken(std::string& Token) {
    const TRestoreOnExit saved(FToken, FPosition, FBracketDepth, FInQuote, FQuoteChar);
    NextToken(Token);
}

bool TQBScanner::IsOpenBracket(char Ch) const { return Ch == '('; }

bool TQBScanner::IsCloseBracket(char Ch) const { return Ch == ')'; }

void TQBScanner::Reset() {
    FToken.clear();
    FPosition = 1;
    FInQuote = false;
    FQuoteChar = 0;
    FBracketDepth = 0;
}

void TQBScanner::FirstToken(std::string& Token) {
    Reset();
    NextToken(Token);
}

char TQBScanner::ClosingQuote(char Ch) const { return Ch; }

void TQBScanner::Skip(int Delta) {
    if (Delta == 0) return;
    FToken.clear();
    const int step = Delta < 0 ? -1 : 1;
    for (; Delta != 0; Delta -= step) {
        if (step < 0 ? FPosition < 2 : FPosition > FLength) break;
        if (step < 0) --FPosition;
        const char ch = FText[static_cast<std::size_t>(FPosition - 1)];
        if (step > 0) ++FPosition;
        if (IsSkippedQuote(ch)) {
            if (FQuoteChar == 0)
                FQuoteChar = ch;
            else if (ch == FQuoteChar)
                FQuoteChar = 0;
            FInQuote = FQuoteChar != 0;
        }
        // Stepping forward over "(" goes one level in, stepping back over it one level out.
        if (IsOpenBracket(ch))
            FBracketDepth += step;
        else if (IsCloseBracket(ch))
            FBracketDepth -= step;
    }
}

void TQBScanner::SetText(const std::string& Text) {
    EnsureInitialized();
    FText = Text;
    FLength = static_cast<int>(FText.size());
    std::string token;
    FirstToken(token);
}

// ---------------------------------------------------------------- TQBSQLScanner: life cycle

TQBSQLScanner::TQBSQLScanner() {
    for (TStringList* list : {&FKeywords, &FFunctions, &FSymbolOperators, &FComparisons,
                              &FCriterionOperators, &FArithmetics})
        list->SetSorted(true);
    FWords.Attach({{{&FKeywords, qwfKeyword},
                    {&FFunctions, qwfFunction},
                    {&FArithmetics, qwfArithmetic},
                    {&FSymbolOperators, qwfSymbolOperator},
                    {&FComparisons, qwfComparison},
                    {&FCriterionOperators, qwfCriterionOperator}}});
    FQuoteNames = true;
}

TQBSQLScanner::~TQBSQLScanner() = default;

void TQBSQLScanner::Init() {
    if (FInitialized) return;
    FInitialized = true;
    LoadFunctions();
    LoadKeywords();
    LoadArithmetics();
    LoadSymbolOperators();
    LoadComparisons();
    LoadCriterionOperators();
    InitBooleanTexts();
    FLine = 1;
    FColumn = 1;
    FQuoteNames = true;
    CharClassesChanged();
    FWords.Refresh();  // built now rather than by the first read
}

void TQBSQLScanner::CharClassesChanged() {
    for (int code = 0; code < 256; ++code) {
        const char ch = static_cast<char>(code);
        std::uint16_t bits = 0;
        if (IsLetter(ch)) bits |= ccLetter;
        if (IsDigit(ch)) bits |= ccDigit;
        if (IsDelimiter(ch)) bits |= ccDelimiter;
        if (IsSpace(ch)) bits |= ccSpace;
        if (IsStringQuote(ch)) bits |= ccStringQuote;
        if (IsIdentQuote(ch)) bits |= ccIdentQuote;
        if (IsIdentChar(ch)) bits |= ccIdentChar;
        if (IsLetter(ch) || ch == '_' || code >= 128) bits |= ccNameStart;
        if (IsIdentChar(ch) || code >= 128) bits |= ccNameChar;
        if (IsOpenBracket(ch)) bits |= ccOpenBracket;
        if (IsCloseBracket(ch)) bits |= ccCloseBracket;
        // A line feed always breaks the line, whatever the dialect, so Unix text reads right.
        if (ch == '\n') bits |= ccLineFeed;
        if (ch == '.') bits |= ccPoint;
        if (ch == '\0') bits |= ccTextEnd;
        FCharClasses[static_cast<std::size_t>(code)] = bits;
        FClosingQuotes[static_cast<std::size_t>(code)] = ClosingQuote(ch);
    }
}

void TQBSQLScanner::Reset() {
    TQBScanner::Reset();
    FLine = 1;
    FColumn = 1;
    FEmptyQuote = false;
}

// ---------------------------------------------------------------- TQBSQLScanner: reading

// SetText has run the second construction step; before it there is no text to read.
[[gnu::always_inline]] inline void TQBSQLScanner::ReadToken(std::string& Token) {
    FWords.Refresh();
    if (FWordTestsReplaced || !ReadPlainToken(Token)) ReadGeneralToken(Token);
}

void TQBSQLScanner::NextToken(std::string& Token) {
    // Moving on (Advance) reads straight into the current token; any other is copied there.
    ReadToken(Token);
    if (&Token != &FToken) FToken = Token;
}

void TQBSQLScanner::ReadGeneralToken(std::string& Token) {
    if (&Token == &FToken) {
        // The unterminated-string error names the current token, so it is read aside.
        ReadGeneralToken(FScratch);
        FToken.swap(FScratch);
        return;
    }
    // Quotes, blanks, comments and line breaks are read as tokens of their own and skipped;
    // once out of quotes again, the common cases are read in one go.
    while (ReadOneToken(Token)) {
        if (!FWordTestsReplaced && ReadPlainToken(Token)) return;
    }

    // Only the end of the text can leave a quote open.
    if (FTokenKinds.Contains(qtkEnd) && FInQuote && FPosition > FLength)
        throw EQBParserError(qpeUnterminatedString, FToken, FLine,
                             FColumn - static_cast<int>(FToken.size()));

    // Only quoted text can hold a point: a plain word ends before one.
    if (FInQuote && FTokenKinds.ContainsAny(qtkIdentifier | qtkString)) {
        const auto point = Token.find('.');
        if (point != std::string::npos &&
            (Token.find(' ') != std::string::npos || point + 1 == Token.size()))
            FTokenKinds.Exclude(qtkIdentifier);
    }
    // Only quoted text can need re-wrapping; plain words are left alone without a copy.
    if (FTokenKinds.Contains(qtkIdentifier) && FInQuote) Token = QuoteDottedToken(Token, true);
}

void TQBSQLScanner::SkipBlanks() {
    // Each blank or line break would be read as a skipped token of its own; taking a run of
    // them here has exactly the same effect.
    const char* const text = FText.data();
    while (FPosition <= FLength) {
        const char ch = text[FPosition - 1];
        const std::uint16_t cls = CharClass(ch);
        if ((cls & ccQuote) != 0 ||
            (FWords.FirstCharFlagsFresh(ch) & (qwfComparisonPrefix | qwfSymbolOperatorPrefix)) != 0)
            break;
        if ((cls & (ccSpace | ccDelimiter | ccLineFeed)) == ccSpace) {
            ++FPosition;
            ++FColumn;
            FTokenKinds = qtkSpace;
        } else if ((cls & ccLineFeed) != 0) {
            ++FPosition;
            ++FLine;
            FColumn = 1;
            FTokenKinds = qtkLineBreak;
        } else if (ch == '\r' && (cls & ccDelimiter) != 0 && FPosition < FLength &&
                   text[FPosition] == '\n') {
            FPosition += 2;
            ++FLine;
            FColumn = 1;
            FTokenKinds = qtkLineBreak;
        } else {
            break;
        }
        ++FSpaceCount;
    }
}

bool TQBSQLScanner::ReadClosingQuote() {
    if (FPosition > FLength) return false;
    const char* const text = FText.data();
    const char ch = text[FPosition - 1];
    // A quote ";" is left to the general reader, which reads it as the end of the statement.
    if ((CharClass(ch) & ccQuote) == 0 || ch != ClosingQuoteOf(FQuoteChar) || ch == ';' ||
        (FPosition < FLength && !IsQuoteEnd(ch, NoText, FQuoteChar, text[FPosition])))
        return false;
    FQuoteChar = 0;
    FInQuote = false;
    ++FPosition;
    ++FColumn;
    FSpaceCount = 0;  // the quote is no blank
    FTokenKinds = qtkQuote;
    return true;
}

bool TQBSQLScanner::ReadPlainToken(std::string& Token) {
    if (FEmptyQuote || (FInQuote && !ReadClosingQuote())) return false;
    if (!FTokenKinds.ContainsAny(qtkSpace | qtkLineBreak)) FSpaceCount = 0;
    const char* const text = FText.data();
    const int length = FLength;
    int position = FPosition;  // 1-based

    // Blanks on the same line, counted at once; line breaks are SkipBlanks' work.
    while (position <= length) {
        const char ch = text[position - 1];
        if ((CharClass(ch) & (ccSpace | ccDelimiter | ccLineFeed | ccQuote)) != ccSpace ||
            (FWords.FirstCharFlagsFresh(ch) & (qwfComparisonPrefix | qwfSymbolOperatorPrefix)) != 0)
            break;
        ++position;
    }
    if (position != FPosition) {
        const int blanks = position - FPosition;
        FPosition = position;
        FColumn += blanks;
        FSpaceCount += blanks;
        FTokenKinds = qtkSpace;
    }
    if (position <= length && ((CharClass(text[position - 1]) & ccLineFeed) != 0 ||
                               text[position - 1] == '\r')) {
        SkipBlanks();
        position = FPosition;
    }
    if (position > length) {
        Token.clear();
        FTokenKinds = qtkEnd;
        return true;
    }

    const char ch = text[position - 1];
    const std::uint16_t first = CharClass(ch);
    TQBTokenKinds kinds;
    std::uint8_t flags = 0;
    if ((first & ccWordStop) == 0) {
        TWordClasses classes;
        std::string_view word;
        if (!ReadPlainWord(word, classes)) return false;
        Token.assign(word);
        flags = FWords.LookupFresh(word);
        FTokenKinds = TQBTokenKinds();  // as the general reader has it while classifying
        kinds = WordKinds(Token, flags, classes);
    } else if ((first & (ccDelimiter | ccSpace | ccLineFeed | ccQuote)) == ccDelimiter) {
        // Comments and a carriage return are the general reader's.
        const char next = position < length ? text[position] : '\0';
        if ((ch == '-' && next == '-') || (ch == '/' && next == '*') || ch == '\r') return false;
        kinds = ReadOperator(Token, ch);
        if (kinds.Empty()) {
            Token.assign(1, ch);
            kinds = qtkSymbol;
            ++FPosition;
            flags = FWords.LookupFresh(std::string_view(&ch, 1));
        } else {
            flags = FWords.LookupFresh(Token);
        }
    } else {
        return false;
    }
    FTokenKinds = FinishKinds(kinds, Token, flags);
    FColumn += static_cast<int>(Token.size());
    FollowBracket(text[FPosition - 2]);
    return true;
}

[[gnu::always_inline]] inline bool TQBSQLScanner::ReadPlainWord(std::string_view& Word,
                                                                 TWordClasses& Classes) {
    // A run of word characters, ended by the end of the text, a quote, a blank, a line break
    // or a delimiter; a point ends it only when it is a delimiter and no fraction can begin
    // there. The text's terminating NUL stops the loop; a NUL within the text is left to the
    // general reader.
    const char* const text = FText.data();
    const int start = FPosition - 1;  // 0-based
    Classes = {CharClass(text[start]), 0xFFFF};
    int end = start + 1;
    std::uint16_t cls = 0;
    while (((cls = CharClass(text[end])) & (ccWordStop | ccTextEnd)) == 0) {
        Classes.Rest &= cls;
        ++end;
    }
    if ((cls & ccWordStop) == 0) {
        if (end < FLength) return false;
    } else if ((cls & ccPoint) != 0 &&
               ((Classes.First & Classes.Rest & ccDigit) != 0 || (cls & ccDelimiter) == 0)) {
        return false;
    }
    Word = std::string_view(text + start, static_cast<std::size_t>(end - start));
    FPosition = end + 1;
    return true;
}

bool TQBSQLScanner::ReadOneToken(std::string& Token) {
    if (!FTokenKinds.ContainsAny(qtkSpace | qtkLineBreak)) FSpaceCount = 0;
    if (!FInQuote) SkipBlanks();

    FTokenKinds = TQBTokenKinds();
    Token.clear();
    bool columnDone = false;
    while (FPosition <= FLength) {
        const char ch = FText[static_cast<std::size_t>(FPosition - 1)];
        const std::uint16_t cls = CharClass(ch);
        if ((cls & ccQuote) != 0 && ReadQuoteChar(Token, ch, cls)) break;
        if (FInQuote) {
            ReadQuotedText(Token);
            continue;
        }
        if ((cls & ccPoint) != 0 && ReadFraction(Token)) break;
        if ((cls & (ccDelimiter | ccSpace | ccLineFeed)) != 0) {
            if (Token.empty()) columnDone = ReadSeparator(Token, ch, cls);
            break;
        }
        ReadWordRun(Token);
    }

    // Skipped tokens never reach a caller, so they are not looked up.
    const bool skipped = FTokenKinds.ContainsAny(qtkQuote | qtkSpace | qtkLineBreak);
    const std::uint8_t flags = skipped ? 0 : FWords.LookupFresh(Token);
    if (FTokenKinds.Empty())
        FTokenKinds = Token.empty() ? TQBTokenKinds(qtkEnd)
                                    : WordKinds(Token, flags, WordClasses(Token));
    FTokenKinds = FinishKinds(FTokenKinds, Token, flags);
    if (!FTokenKinds.Contains(qtkLineBreak) && !columnDone)
        FColumn += static_cast<int>(Token.size());

    if (skipped) {
        if (FTokenKinds.ContainsAny(qtkSpace | qtkLineBreak)) ++FSpaceCount;
        return true;
    }
    // The end of the text consumes nothing, so the byte before it must not count again.
    if (!FInQuote && FPosition > 1 && !(Token.empty() && FTokenKinds.Contains(qtkEnd)))
        FollowBracket(FText[static_cast<std::size_t>(FPosition - 2)]);
    return false;
}

[[gnu::always_inline]] inline bool TQBSQLScanner::ReadQuoteChar(std::string& Token, char Ch,
                                                                std::uint16_t Class) {
    const char* const text = FText.data();
    // Inside a quote only its closing character counts, and only where the quote ends.
    if (FQuoteChar != 0 &&
        (Ch != ClosingQuoteOf(FQuoteChar) ||
         (FPosition < FLength && !IsQuoteEnd(Ch, Token, FQuoteChar, text[FPosition]))))
        return false;
    if (!Token.empty() || FEmptyQuote) {
        // The text read so far ends before the quote; quoted text is a name, a string or both.
        if (FInQuote) {
            if ((Class & ccIdentQuote) != 0) FTokenKinds.Include(qtkIdentifier);
            if ((Class & ccStringQuote) != 0) FTokenKinds.Include(qtkString);
        }
        FEmptyQuote = false;
        return true;
    }
    FQuoteChar = FInQuote ? 0 : Ch;
    FInQuote = FQuoteChar != 0;
    // Two quotes in a row, not followed by a third, open an empty text.
    FEmptyQuote = FInQuote && ClosingQuoteOf(FQuoteChar) == FQuoteChar && FPosition < FLength &&
                  text[FPosition] == FQuoteChar &&
                  (FPosition + 1 == FLength || text[FPosition + 1] != FQuoteChar);
    Token.assign(1, Ch);
    FTokenKinds.Include(qtkQuote);
    ++FPosition;
    return true;
}

[[gnu::always_inline]] inline void TQBSQLScanner::ReadQuotedText(std::string& Token) {
    // Everything up to the next quote character is taken raw.
    const char* const text = FText.data();
    int end = FPosition;  // 0-based index of the byte after the current one
    while (end < FLength && (CharClass(text[end]) & ccQuote) == 0) ++end;
    Token.append(text + FPosition - 1, static_cast<std::size_t>(end - FPosition + 1));
    FPosition = end + 1;
}

bool TQBSQLScanner::ReadFraction(std::string& Token) {
    // Digits, a point and digits, followed by a blank, a line break, a delimiter other than
    // a point, or the end of the text.
    if (FWordTestsReplaced ? !IsNumber(Token) : !AllOfClass(Token, ccDigit, ccDigit)) return false;
    const char* const text = FText.data();
    int i = FPosition + 1;  // 1-based
    while (i <= FLength && (CharClass(text[i - 1]) & ccDigit) != 0) ++i;
    const std::uint16_t after = i <= FLength ? CharClass(text[i - 1]) : 0;
    if (i <= FLength && (after & (ccSpace | ccLineFeed)) == 0 &&
        (after & (ccDelimiter | ccPoint)) != ccDelimiter)
        return false;
    Token.append(text + FPosition - 1, static_cast<std::size_t>(i - FPosition));
    FPosition = i;
    FTokenKinds.Include(qtkFloat);
    return true;
}

bool TQBSQLScanner::ReadSeparator(std::string& Token, char Ch, std::uint16_t Class) {
    if ((Class & ccLineFeed) != 0) {
        // A lone line feed breaks the line exactly like CR LF.
        Token.assign(1, Ch);
        FTokenKinds = qtkLineBreak;
        ++FPosition;
        ++FLine;
        FColumn = 1;
        return false;
    }
    const char next = FPosition < FLength ? FText[static_cast<std::size_t>(FPosition)] : '\0';
    if ((Ch == '-' && next == '-') || (Ch == '/' && next == '*')) {
        FTokenKinds = qtkSpace;
        return ReadComment(Token);
    }
    FTokenKinds = ReadOperator(Token, Ch);
    if (!FTokenKinds.Empty()) return false;
    Token.assign(1, Ch);
    if ((Class & ccDelimiter) != 0) FTokenKinds.Include(qtkSymbol);
    if ((Class & ccSpace) != 0) FTokenKinds.Include(qtkSpace);
    ++FPosition;
    if (Ch == '\r' && next == '\n') {
        Token += '\n';
        FTokenKinds = qtkLineBreak;
        ++FPosition;
        ++FLine;
        FColumn = 1;
    }
    return false;
}

void TQBSQLScanner::ReadWordRun(std::string& Token) {
    const char* const text = FText.data();
    int end = FPosition;  // 0-based index of the byte after the current one
    while (end < FLength && (CharClass(text[end]) & ccWordStop) == 0) ++end;
    Token.append(text + FPosition - 1, static_cast<std::size_t>(end - FPosition + 1));
    FPosition = end + 1;
}

bool TQBSQLScanner::ReadComment(std::string& Token) {
    const char* const text = FText.data();
    const int start = FPosition - 1;  // 0-based
    int end = start + 2;
    bool columnDone = false;
    if (text[start] == '-') {
        // Up to the line break (CR LF or LF), which is read as a token of its own.
        while (end < FLength && text[end] != '\n' &&
               !(text[end] == '\r' && end + 1 < FLength && text[end + 1] == '\n'))
            ++end;
    } else {
        // Up to and including "*/", or to the end of the text when it is never closed.
        int lastLineStart = -1;
        while (end < FLength && !(text[end] == '*' && end + 1 < FLength && text[end + 1] == '/')) {
            if (text[end] == '\n') {
                ++FLine;
                lastLineStart = end + 1;
            }
            ++end;
        }
        end = std::min(end + 2, FLength);
        if (lastLineStart >= 0) {
            FColumn = end - lastLineStart + 1;
            columnDone = true;
        }
    }
    Token.assign(text + start, static_cast<std::size_t>(end - start));
    FPosition = end + 1;
    return columnDone;
}

inline TQBTokenKinds TQBSQLScanner::ReadOperator(std::string& Token, char Ch) {
    const std::uint8_t starts = FWords.FirstCharFlagsFresh(Ch);
    if ((starts & qwfComparisonPrefix) != 0 &&
        ReadListedSymbol(Token, qwfComparisonPrefix, qwfComparison))
        return qtkComparison;
    if ((starts & qwfSymbolOperatorPrefix) != 0 &&
        ReadListedSymbol(Token, qwfSymbolOperatorPrefix, qwfSymbolOperator))
        return qtkOperator;
    return {};
}

bool TQBSQLScanner::ReadListedSymbol(std::string& Token, std::uint8_t PrefixFlag,
                                     std::uint8_t EntryFlag) {
    // The candidate is always a stretch of the text starting at the current byte.
    const std::string_view rest(FText.data() + FPosition - 1,
                                static_cast<std::size_t>(FLength - FPosition + 1));
    std::size_t length = 1;
    while (length < rest.size() &&
           (FWords.LookupFresh(rest.substr(0, length + 1)) & PrefixFlag) != 0)
        ++length;
    if ((FWords.LookupFresh(rest.substr(0, length)) & EntryFlag) == 0) return false;
    Token.assign(rest.substr(0, length));
    FPosition += static_cast<int>(length);
    return true;
}

[[gnu::always_inline]] inline TQBTokenKinds TQBSQLScanner::WordKinds(const std::string& Token, std::uint8_t Flags,
                                       TWordClasses Classes) const {
    if ((Flags & (qwfKeyword | qwfFunction)) != 0)
        return TQBTokenKinds::FromBits(
            static_cast<std::uint16_t>(((Flags & qwfFunction) != 0 ? qtkFunction : 0) |
                                       ((Flags & qwfKeyword) != 0 ? qtkKeyword : 0)));
    if (FWordTestsReplaced) return WordKindsByTests(Token, Classes);
    // Numbers, Boolean literals and plain identifiers are told by the dialect's data, the
    // tests IsNumber, IsBoolean and IsIdentifier make.
    if ((Classes.First & Classes.Rest & ccDigit) != 0) return qtkInteger;
    if (IsBooleanText(Token)) return qtkBoolean;
    // Outside quotes a name may also hold "_" first and bytes of 128 and above (ccNameStart,
    // ccNameChar, wider than the identifier classes).
    const bool nameClasses =
        FInQuote ? (Classes.First & ccLetter) != 0 && (Classes.Rest & ccIdentChar) != 0
                 : (Classes.First & ccNameStart) != 0 && (Classes.Rest & ccNameChar) != 0;
    if (nameClasses || IsIdentifier(UnquoteName(Token))) return qtkIdentifier;
    return {};
}

TQBTokenKinds TQBSQLScanner::WordKindsByTests(const std::string& Token,
                                              TWordClasses Classes) const {
    if (IsNumber(Token)) return qtkInteger;
    if (IsBoolean(Token)) return qtkBoolean;
    // The wider classes of a name read outside quotes add what IsIdentifier does not cover.
    const bool narrow = (Classes.First & ccLetter) != 0 && (Classes.Rest & ccIdentChar) != 0;
    const bool wide = !FInQuote && (Classes.First & ccNameStart) != 0 &&
                      (Classes.Rest & ccNameChar) != 0;
    if (IsIdentifier(Token) || (wide && !narrow) || IsIdentifier(UnquoteName(Token)))
        return qtkIdentifier;
    return {};
}

[[gnu::always_inline]] inline TQBTokenKinds TQBSQLScanner::FinishKinds(TQBTokenKinds Kinds,
                                                                     const std::string& Token,
                                                                     std::uint8_t Flags) const {
    // Only a bare ";" ends the statement: a quoted one (';', [;]) is a value or a name, and
    // ending there would silently cut the rest of the statement off.
    if (Token.size() == 1 && Token[0] == ';' && !FInQuote && !Kinds.Empty()) Kinds = qtkEnd;
    if ((Flags & qwfArithmetic) != 0) Kinds.Include(qtkArithmetic);
    return Kinds;
}

[[gnu::always_inline]] inline void TQBSQLScanner::FollowBracket(char Last) {
    const std::uint16_t cls = CharClass(Last);
    if ((cls & ccOpenBracket) != 0)
        ++FBracketDepth;
    else if ((cls & ccCloseBracket) != 0)
        --FBracketDepth;
}

// ---------------------------------------------------------------- peeking and stepping

void TQBSQLScanner::PeekToken(std::string& Token) {
    const TRestoreOnExit saved(FPosition, FBracketDepth, FInQuote, FQuoteChar, FLine, FColumn,
                               FTokenKinds);
    if (FNextTokenReplaced) {
        // A dialect's own NextToken may change the current token: it comes back too.
        const TRestoreOnExit savedToken(FToken);
        NextToken(Token);
    } else {
        // The built-in reader leaves the current token alone when it reads aside.
        ReadToken(Token);
    }
    FNextTokenKinds = FTokenKinds;
}

TQBTokenKinds TQBSQLScanner::NextTokenKinds() {
    PeekToken(FScratch);
    return FNextTokenKinds;
}

void TQBSQLScanner::Skip(int Delta) {
    if (Delta == 0) return;
    EnsureReady();
    const int from = FPosition;
    TQBScanner::Skip(Delta);
    // Line and column stay on the byte reached, so errors after a step back point right.
    FollowLines(from);
    FTokenKinds = FPosition == FLength ? TQBTokenKinds(qtkEnd) : TQBTokenKinds();
}

void TQBSQLScanner::FollowLines(int From) {
    const char* const text = FText.data();
    if (FPosition >= From) {
        for (int p = From; p < FPosition; ++p) {
            if (text[p - 1] == '\n') {
                ++FLine;
                FColumn = 1;
            } else {
                ++FColumn;
            }
        }
        return;
    }
    bool lineCrossed = false;
    for (int p = FPosition; p < From; ++p) {
        if (text[p - 1] == '\n' && FLine > 1) {
            --FLine;
            lineCrossed = true;
        } else {
            --FColumn;
        }
    }
    if (!lineCrossed) return;
    // The column counts from the line feed before the byte reached, or from the text's start.
    const auto lineFeed = FText.rfind('\n', static_cast<std::size_t>(std::max(FPosition - 2, 0)));
    const int lineStart =
        (lineFeed == std::string::npos || FPosition < 2) ? 0 : static_cast<int>(lineFeed) + 1;
    FColumn = FPosition - lineStart;
}
