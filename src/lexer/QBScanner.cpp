// The token reader: TQBScanner's position and quote bookkeeping, and TQBSQLScanner's reading,
// classification, peeking and stepping back.
//
// Speed: the character classes are cached in a 256-entry table filled from the virtual class
// operations, runs of plain word characters (and of quoted text) are appended in one go, and
// the word lists are looked up through one hash probe. The caller's token string is filled in
// place, so a reused string costs no allocation per token.
#include "lexer/QBScanner.h"

#include "lexer/QBParserError.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <typeinfo>

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
    const TReaderState saved(*this);
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
    auto passQuote = [this](char ch) {
        if (!IsStringQuote(ch)) return;
        if (FQuoteChar == 0)
            FQuoteChar = ch;
        else if (ch == FQuoteChar)
            FQuoteChar = 0;
        FInQuote = FQuoteChar != 0;
    };
    for (; Delta < 0 && FPosition >= 2; ++Delta) {
        --FPosition;
        const char ch = FText[static_cast<std::size_t>(FPosition - 1)];
        passQuote(ch);
        if (IsOpenBracket(ch)) --FBracketDepth;
        else if (IsCloseBracket(ch)) ++FBracketDepth;
    }
    for (; Delta > 0 && FPosition <= FLength; --Delta) {
        const char ch = FText[static_cast<std::size_t>(FPosition - 1)];
        ++FPosition;
        passQuote(ch);
        if (IsOpenBracket(ch)) ++FBracketDepth;
        else if (IsCloseBracket(ch)) --FBracketDepth;
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

TQBSQLScanner::TQBSQLScanner()
    : FKeywords(std::make_unique<TStringList>()),
      FFunctions(std::make_unique<TStringList>()),
      FSymbolOperators(std::make_unique<TStringList>()),
      FComparisons(std::make_unique<TStringList>()),
      FCriterionOperators(std::make_unique<TStringList>()),
      FArithmetics(std::make_unique<TStringList>()) {
    for (TStringList* list : {FKeywords.get(), FFunctions.get(), FSymbolOperators.get(),
                              FComparisons.get(), FCriterionOperators.get(), FArithmetics.get()})
        list->SetSorted(true);
    const TStringList* lists[6] = {FKeywords.get(),        FFunctions.get(),
                                   FArithmetics.get(),     FSymbolOperators.get(),
                                   FComparisons.get(),     FCriterionOperators.get()};
    FWords.Attach(lists);
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

void TQBSQLScanner::InitLate() const {
    // A scanner whose owner forgot the second step still answers with its own dialect.
    const_cast<TQBSQLScanner*>(this)->Init();
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

bool TQBSQLScanner::IsOwnReader() const { return typeid(*this) == typeid(TQBSQLScanner); }

// Puts back what a peek moves: the reading position, the quote state and the depth (the
// current token is the caller's to keep), also when reading throws.
struct TQBSQLScanner::TRestoreReader {
    TQBSQLScanner& Scanner;
    int Position, BracketDepth;
    bool InQuote;
    char QuoteChar;
    ~TRestoreReader() {
        Scanner.FPosition = Position;
        Scanner.FBracketDepth = BracketDepth;
        Scanner.FInQuote = InQuote;
        Scanner.FQuoteChar = QuoteChar;
    }
};

// Puts back the line, column and kinds after a peek. Declared after the reader's state so
// that it is destroyed first, as the peek always did.
struct TQBSQLScanner::TRestorePosition {
    TQBSQLScanner& Scanner;
    int Line, Column;
    TQBTokenKinds Kinds;
    ~TRestorePosition() {
        Scanner.FLine = Line;
        Scanner.FColumn = Column;
        Scanner.FTokenKinds = Kinds;
    }
};

void TQBSQLScanner::Reset() {
    TQBScanner::Reset();
    FLine = 1;
    FColumn = 1;
    FEmptyQuote = false;
}

// ---------------------------------------------------------------- TQBSQLScanner: reading

void TQBSQLScanner::NextToken(std::string& Token) {
    ReadToken(Token);
    FToken = Token;
}

void TQBSQLScanner::AdvanceSlowly() {
    if (!OwnReader()) {
        std::string token;  // a dialect's own NextToken
        NextToken(token);
        return;
    }
    EnsureReady();
    FWords.Refresh();
    if (ReadPlainToken(FToken)) return;
    // The general reader names the previous token in its errors, so it reads aside.
    ReadGeneralToken(FScratch);
    FToken.swap(FScratch);
}

void TQBSQLScanner::ReadToken(std::string& Token) {
    EnsureReady();
    FWords.Refresh();
    if (!ReadPlainToken(Token)) ReadGeneralToken(Token);
}

void TQBSQLScanner::ReadGeneralToken(std::string& Token) {
    // Quotes, blanks, comments and line breaks are read as tokens of their own and skipped;
    // once out of quotes again, the common cases are read in one go.
    while (ReadOneToken(Token)) {
        if (ReadPlainToken(Token)) return;
    }

    // Only the end of the text can leave a quote open; a quoted ";" is read as an end token
    // too, but its quote is closed by the next read.
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
        if ((cls & (ccStringQuote | ccIdentQuote)) != 0 ||
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
    // With the reader's own quote test and nothing collected, a closing quote ends the quote
    // unless the quote character follows (a doubled quote); ";" would end the statement.
    if (FOwnReader <= 0 || FPosition > FLength) return false;
    const char* const text = FText.data();
    const char ch = text[FPosition - 1];
    if ((CharClass(ch) & (ccStringQuote | ccIdentQuote)) == 0 ||
        ch != ClosingQuoteOf(FQuoteChar) || ch == ';' ||
        (FPosition < FLength && text[FPosition] == FQuoteChar))
        return false;
    FQuoteChar = 0;
    FInQuote = false;
    ++FPosition;
    ++FColumn;
    FSpaceCount = 0;  // the quote is no blank
    FTokenKinds = qtkQuote;
    return true;
}

bool TQBSQLScanner::ReadTextEnd(std::string& Token) {
    Token.clear();
    FTokenKinds = qtkEnd;
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
        if ((CharClass(ch) & (ccSpace | ccDelimiter | ccLineFeed | ccStringQuote |
                              ccIdentQuote)) != ccSpace ||
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
    if (position > length) return ReadTextEnd(Token);
    char ch = text[position - 1];
    std::uint16_t first = CharClass(ch);
    if ((first & ccLineFeed) != 0 || ch == '\r') {
        SkipBlanks();
        position = FPosition;
        if (position > length) return ReadTextEnd(Token);
        ch = text[position - 1];
        first = CharClass(ch);
    }

    const int start = position - 1;  // 0-based
    TQBTokenKinds kinds;
    std::uint8_t flags = 0;
    if ((first & ccWordStop) == 0) {
        // A run of word characters, ended by the end of the text, a quote, a blank, a line
        // break or a delimiter; a point ends it only when it is a delimiter and no fraction
        // can begin there.
        // The text's terminating NUL stops the loop; a NUL within the text is left to the
        // general reader.
        std::uint16_t rest = 0xFFFF;
        int end = start + 1;
        std::uint16_t cls = 0;
        while (((cls = CharClass(text[end])) & (ccWordStop | ccTextEnd)) == 0) {
            rest &= cls;
            ++end;
        }
        if ((cls & ccWordStop) == 0) {
            if (end < length) return false;
        } else if ((cls & ccPoint) != 0 &&
                   ((first & rest & ccDigit) != 0 || (cls & ccDelimiter) == 0)) {
            return false;
        }
        const auto size = static_cast<std::size_t>(end - start);
        Token.assign(text + start, size);
        FPosition = end + 1;
        FTokenKinds = TQBTokenKinds();  // as the general reader has it while classifying
        flags = FWords.LookupFresh(std::string_view(text + start, size));
        kinds = WordKinds(Token, flags, first, rest);
    } else if ((first & (ccDelimiter | ccSpace | ccLineFeed | ccStringQuote | ccIdentQuote)) ==
               ccDelimiter) {
        // A delimiter: a listed comparison or symbol operator, or a symbol of its own. Comments
        // and a carriage return are the general reader's.
        const char next = position < length ? text[position] : '\0';
        if ((ch == '-' && next == '-') || (ch == '/' && next == '*') || ch == '\r') return false;
        Token.assign(1, ch);
        const std::uint8_t starts = FWords.FirstCharFlagsFresh(ch);
        if ((starts & qwfComparisonPrefix) != 0 &&
            ReadListedSymbol(Token, qwfComparisonPrefix, qwfComparison)) {
            kinds = qtkComparison;
            flags = FWords.LookupFresh(Token);
        } else if ((starts & qwfSymbolOperatorPrefix) != 0 &&
                   ReadListedSymbol(Token, qwfSymbolOperatorPrefix, qwfSymbolOperator)) {
            kinds = qtkOperator;
            flags = FWords.LookupFresh(Token);
        } else {
            kinds = qtkSymbol;
            FPosition = position + 1;
            flags = FWords.LookupFresh(std::string_view(text + start, 1));
        }
    } else {
        return false;
    }

    // Only a bare ";" ends the statement.
    if (ch == ';' && Token.size() == 1 && !kinds.Empty()) kinds = qtkEnd;
    if ((flags & qwfArithmetic) != 0) kinds.Include(qtkArithmetic);
    FTokenKinds = kinds;
    FColumn += static_cast<int>(Token.size());
    const std::uint16_t last = CharClass(text[FPosition - 2]);
    if ((last & (ccOpenBracket | ccCloseBracket)) != 0)
        FBracketDepth += (last & ccOpenBracket) != 0 ? 1 : -1;
    return true;
}

bool TQBSQLScanner::ReadOneToken(std::string& Token) {
    if (!FTokenKinds.ContainsAny(qtkSpace | qtkLineBreak)) FSpaceCount = 0;
    const char* const text = FText.data();
    if (!FInQuote) SkipBlanks();

    FTokenKinds = TQBTokenKinds();
    Token.clear();
    bool columnDone = false;

    while (FPosition <= FLength) {
        const char ch = text[FPosition - 1];
        const std::uint16_t cls = CharClass(ch);

        // Quote characters: open a quote, end the text read so far, or close the quote.
        if ((cls & (ccStringQuote | ccIdentQuote)) != 0 &&
            (FQuoteChar == 0 ||
             (ch == ClosingQuoteOf(FQuoteChar) &&
              (FPosition == FLength || IsQuoteEnd(ch, Token, FQuoteChar, text[FPosition]))))) {
            if (!Token.empty() || FEmptyQuote) {
                if (FInQuote) {
                    if ((cls & ccIdentQuote) != 0) {
                        FTokenKinds.Include(qtkIdentifier);
                        if ((cls & ccStringQuote) != 0) FTokenKinds.Include(qtkString);
                    } else if ((cls & ccStringQuote) != 0) {
                        FTokenKinds.Include(qtkString);
                    }
                }
                FEmptyQuote = false;
                break;
            }
            FQuoteChar = FInQuote ? 0 : ch;
            FInQuote = FQuoteChar != 0;
            FEmptyQuote = FInQuote && ClosingQuoteOf(FQuoteChar) == FQuoteChar &&
                          FPosition < FLength && text[FPosition] == FQuoteChar &&
                          (FPosition + 1 == FLength || text[FPosition + 1] != FQuoteChar);
            Token.assign(1, ch);
            FTokenKinds.Include(qtkQuote);
            ++FPosition;
            break;
        }

        // Inside a quote everything up to the next quote character is taken raw.
        if (FInQuote) {
            int end = FPosition;  // 0-based index of the byte after ch
            while (end < FLength && (CharClass(text[end]) & (ccStringQuote | ccIdentQuote)) == 0)
                ++end;
            Token.append(text + FPosition - 1, static_cast<std::size_t>(end - FPosition + 1));
            FPosition = end + 1;
            continue;
        }

        // A decimal fraction: digits, a point and digits, followed by a blank, a line break,
        // a delimiter other than a point, or the end of the text.
        if ((cls & ccPoint) != 0 && AllOfClass(Token, ccDigit, ccDigit)) {
            int i = FPosition + 1;  // 1-based
            while (i <= FLength && (CharClass(text[i - 1]) & ccDigit) != 0) ++i;
            const std::uint16_t after = i <= FLength ? CharClass(text[i - 1]) : 0;
            if (i > FLength || (after & (ccSpace | ccLineFeed)) != 0 ||
                ((after & ccDelimiter) != 0 && (after & ccPoint) == 0)) {
                Token.append(text + FPosition - 1, static_cast<std::size_t>(i - FPosition));
                FPosition = i;
                FTokenKinds.Include(qtkFloat);
                break;
            }
        }

        if ((cls & (ccDelimiter | ccSpace | ccLineFeed)) != 0) {
            if (!Token.empty()) break;

            if ((cls & ccLineFeed) != 0) {
                // A lone line feed breaks the line exactly like CR LF.
                Token.assign(1, ch);
                FTokenKinds = qtkLineBreak;
                ++FPosition;
                ++FLine;
                FColumn = 1;
                break;
            }
            const char next = FPosition < FLength ? text[FPosition] : '\0';
            if ((ch == '-' && next == '-') || (ch == '/' && next == '*')) {
                columnDone = ReadComment(Token);
                FTokenKinds = qtkSpace;
                break;
            }
            Token.assign(1, ch);
            const std::uint8_t starts = FWords.FirstCharFlagsFresh(ch);
            if ((starts & qwfComparisonPrefix) != 0 &&
                ReadListedSymbol(Token, qwfComparisonPrefix, qwfComparison)) {
                FTokenKinds.Include(qtkComparison);
                break;
            }
            if ((starts & qwfSymbolOperatorPrefix) != 0 &&
                ReadListedSymbol(Token, qwfSymbolOperatorPrefix, qwfSymbolOperator)) {
                FTokenKinds.Include(qtkOperator);
                break;
            }
            if ((cls & ccDelimiter) != 0) FTokenKinds.Include(qtkSymbol);
            if ((cls & ccSpace) != 0) FTokenKinds.Include(qtkSpace);
            ++FPosition;
            if (ch == '\r' && next == '\n') {
                Token += '\n';
                FTokenKinds = qtkLineBreak;
                ++FPosition;
                ++FLine;
                FColumn = 1;
            }
            break;
        }

        // A run of plain word characters.
        int end = FPosition;
        while (end < FLength && (CharClass(text[end]) & ccWordStop) == 0) ++end;
        Token.append(text + FPosition - 1, static_cast<std::size_t>(end - FPosition + 1));
        FPosition = end + 1;
    }

    // One probe gives every list the token is in; skipped tokens never reach a caller, so
    // they are not looked up. The reader consults the lists directly (a dialect fills them).
    const bool skipped = FTokenKinds.ContainsAny(qtkQuote | qtkSpace | qtkLineBreak);
    const std::uint8_t flags = skipped ? 0 : FWords.LookupFresh(Token);
    if (FTokenKinds.Empty()) {
        if (Token.empty()) {
            FTokenKinds = qtkEnd;
        } else {
            // Numbers and identifiers are told by the cached classes, the same test IsNumber
            // and IsIdentifier make, without two virtual calls per word.
            if ((flags & (qwfKeyword | qwfFunction)) != 0) {
                if ((flags & qwfFunction) != 0) FTokenKinds.Include(qtkFunction);
                if ((flags & qwfKeyword) != 0) FTokenKinds.Include(qtkKeyword);
            } else if (AllOfClass(Token, ccDigit, ccDigit)) {
                FTokenKinds = qtkInteger;
            } else if (IsBoolean(Token)) {
                FTokenKinds = qtkBoolean;
            } else if (AllOfClass(Token, ccLetter, ccIdentChar) ||
                       IsIdentifier(UnquoteName(Token)) ||
                       (!FInQuote && AllOfClass(Token, ccNameStart, ccNameChar))) {
                FTokenKinds = qtkIdentifier;
            }
        }
    }
    // Only a bare ";" ends the statement: a quoted one (';', [;]) is a value or a name, and
    // ending there would silently cut the rest of the statement off.
    if (Token.size() == 1 && Token[0] == ';' && !FInQuote && !FTokenKinds.Empty())
        FTokenKinds = qtkEnd;
    if ((flags & qwfArithmetic) != 0) FTokenKinds.Include(qtkArithmetic);

    if (!FTokenKinds.Contains(qtkLineBreak) && !columnDone)
        FColumn += static_cast<int>(Token.size());

    if (skipped) {
        if (FTokenKinds.ContainsAny(qtkSpace | qtkLineBreak)) ++FSpaceCount;
        return true;
    }
    // The end of the text consumes nothing, so the byte before it must not count again.
    const bool consumedNothing = Token.empty() && FTokenKinds.Contains(qtkEnd);
    if (!FInQuote && FPosition > 1 && !consumedNothing) {
        const std::uint16_t last = CharClass(text[FPosition - 2]);
        if ((last & ccOpenBracket) != 0)
            ++FBracketDepth;
        else if ((last & ccCloseBracket) != 0)
            --FBracketDepth;
    }
    return false;
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

bool TQBSQLScanner::ReadListedSymbol(std::string& Token, std::uint8_t PrefixFlag,
                                     std::uint8_t EntryFlag) {
    if ((FWords.FirstCharFlagsFresh(Token[0]) & PrefixFlag) == 0) return false;
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

void TQBSQLScanner::PeekToken(std::string& Token) {
    if (!OwnReader()) {
        // A dialect's own NextToken may change the current token: all of it comes back.
        const TReaderState saved(*this);
        TRestorePosition restorePosition{*this, FLine, FColumn, FTokenKinds};
        NextToken(Token);
        FNextTokenKinds = FTokenKinds;
        return;
    }
    // The reader leaves the current token alone, so only the position needs to come back.
    TRestoreReader restoreReader{*this, FPosition, FBracketDepth, FInQuote, FQuoteChar};
    TRestorePosition restorePosition{*this, FLine, FColumn, FTokenKinds};
    ReadToken(Token);
    FNextTokenKinds = FTokenKinds;
}

TQBTokenKinds TQBSQLScanner::NextTokenKinds() {
    PeekToken(FScratch);
    return FNextTokenKinds;
}

void TQBSQLScanner::Skip(int Delta) {
    if (Delta == 0) return;
    FToken.clear();
    auto passQuote = [this](char ch) {
        if ((CharClass(ch) & (ccStringQuote | ccIdentQuote)) == 0) return;
        if (FQuoteChar == 0)
            FQuoteChar = ch;
        else if (ch == FQuoteChar)
            FQuoteChar = 0;
        FInQuote = FQuoteChar != 0;
    };
    bool lineCrossed = false;
    for (; Delta < 0 && FPosition >= 2; ++Delta) {
        --FPosition;
        const char ch = FText[static_cast<std::size_t>(FPosition - 1)];
        passQuote(ch);
        if ((CharClass(ch) & ccOpenBracket) != 0) --FBracketDepth;
        else if ((CharClass(ch) & ccCloseBracket) != 0) ++FBracketDepth;
        // Keep line and column on the byte reached, so errors after a step back point right.
        if (ch == '\n' && FLine > 1) {
            --FLine;
            lineCrossed = true;
        } else {
            --FColumn;
        }
    }
    if (lineCrossed) {
        const auto lineFeed = FText.rfind('\n', static_cast<std::size_t>(std::max(FPosition - 2, 0)));
        const int lineStart = (lineFeed == std::string::npos || FPosition < 2)
                                  ? 0 : static_cast<int>(lineFeed) + 1;
        FColumn = FPosition - lineStart;
    }
    for (; Delta > 0 && FPosition <= FLength; --Delta) {
        const char ch = FText[static_cast<std::size_t>(FPosition - 1)];
        ++FPosition;
        passQuote(ch);
        if ((CharClass(ch) & ccOpenBracket) != 0) ++FBracketDepth;
        else if ((CharClass(ch) & ccCloseBracket) != 0) --FBracketDepth;
        if (ch == '\n') {
            ++FLine;
            FColumn = 1;
        } else {
            ++FColumn;
        }
    }
    FTokenKinds = FPosition == FLength ? TQBTokenKinds(qtkEnd) : TQBTokenKinds();
}
