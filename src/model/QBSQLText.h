// Small services of the model's SQL writers: appending keywords, function names, aliases
// and quoted names to one output text instead of building a temporary string per piece,
// and a per-write memory of quoted names so that a qualifier written ten times is judged
// by the scanner once.
#pragma once

#include "model/QBDialect.h"

#include <cstdint>
#include <string>
#include <string_view>

class TQBSQLScanner;
class TQBCollectionItem;

// Appends Text in a letter case other than as-is.
void AppendRecased(std::string& Out, std::string_view Text, TQBFormatMode Mode);
// Appends Text in the letter case of Mode.
inline void AppendFormatted(std::string& Out, std::string_view Text, TQBFormatMode Mode) {
    if (Mode == qfmAsIs)
        Out.append(Text);
    else
        AppendRecased(Out, Text, Mode);
}
// Whether Parser writes keywords as they stand (always without a parser): a writer may
// then append a whole phrase of keywords and blanks at once.
inline bool KeywordsAsIs(const TQBDialect* Parser) {
    return !Parser || Parser->GetScriptFormat().KeywordsFormat == qfmAsIs;
}
// Appends Text as Parser->FormatKeyword writes it (unchanged without a parser).
inline void AppendKeyword(std::string& Out, const TQBDialect* Parser, std::string_view Text) {
    AppendFormatted(Out, Text, Parser ? Parser->GetScriptFormat().KeywordsFormat : qfmAsIs);
}
// Appends Phrase, keywords with blanks and line breaks between and around them (" AS ",
// "LEFT OUTER JOIN"), each word as Parser->FormatKeyword writes it: in one append when
// keywords stand as they are.
void AppendKeywordPhraseRecased(std::string& Out, const TQBDialect* Parser, std::string_view Phrase);
inline void AppendKeywordPhrase(std::string& Out, const TQBDialect* Parser,
                                std::string_view Phrase) {
    if (KeywordsAsIs(Parser))
        Out.append(Phrase);
    else
        AppendKeywordPhraseRecased(Out, Parser, Phrase);
}
// Appends Name as Parser->FormatFunctionName writes it (unchanged without a parser).
inline void AppendFunctionName(std::string& Out, const TQBDialect* Parser, std::string_view Name) {
    AppendFormatted(Out, Name, Parser ? Parser->GetScriptFormat().FunctionsFormat : qfmAsIs);
}
// Appends Scanner->QuoteName(Name), or Name without a scanner.
void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, const std::string& Name);
void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name);
// The same for a name held by the model (a table's name or alias, say): while a quote scope
// is alive the answer is remembered by the string's place. Name must stay unchanged and in
// place as long as that scope lives.
void AppendQuotedModelName(std::string& Out, const TQBSQLScanner* Scanner,
                           const std::string& Name);
// Appends Scanner->QuoteIdentifier(Name), or Name without a scanner.
void AppendQuotedIdentifier(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name);
// True when Scanner->QuoteName(Name) and Scanner->QuoteIdentifier(Name) are known to be
// Name itself without asking them: a plain identifier, no keyword or function, and a
// scanner with the base quoting rules. False when that is not known.
bool IsKnownUnquoted(const TQBSQLScanner& Scanner, const std::string& Name);
// The same for a name held by the model (see AppendQuotedModelName).
bool IsKnownUnquotedModelName(const TQBSQLScanner& Scanner, const std::string& Name);
// Appends Scanner.QuoteString(Text).
void AppendQuotedString(std::string& Out, const TQBSQLScanner& Scanner, const std::string& Text);
// Appends Text as FormatAliasFor(Parser, Text) writes it.
void AppendAlias(std::string& Out, const TQBDialect* Parser, const std::string& Text);
// The same for an alias held by the model (see AppendQuotedModelName).
void AppendModelAlias(std::string& Out, const TQBDialect* Parser, const std::string& Alias);

// The scanner an item's QuoteName goes to: that of its model collection's parser; null
// when the item is in no model collection or there is no parser or scanner.
const TQBSQLScanner* CollectionScanner(const TQBCollectionItem& Item);

// The qualifier and last name of a dotted name, as ExtractQualifier and ExtractLastName
// split it (the qualifier empty when there is none; the last name then the whole name).
// Both view Name.
struct TQBNameParts {
    std::string_view Qualifier;
    std::string_view Last;
};
TQBNameParts SplitQualifiedName(std::string_view Name, char Open, char Close);

// While one is alive on a thread, AppendQuotedName and AppendQuotedIdentifier remember the
// answers of the outermost scope's scanner. Scopes nest; only the outermost one clears the memory.
// The scanner must not change its quoting rules while a scope is alive (writing never does).
class TQBQuoteScope {
public:
    explicit TQBQuoteScope(const TQBSQLScanner* Scanner);
    ~TQBQuoteScope();
    TQBQuoteScope(const TQBQuoteScope&) = delete;
    TQBQuoteScope& operator=(const TQBQuoteScope&) = delete;
};
