// Small services of the model's SQL writers: appending keywords, function names, aliases
// and quoted names to one output text instead of building a temporary string per piece.
// Quoting is the scanner's: its QuoteName, QuoteIdentifier and QuoteString decide.
#pragma once

#include "lexer/QBScanner.h"
#include "model/QBDialect.h"

#include <string>
#include <string_view>

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
inline void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner,
                             const std::string& Name) {
    if (Scanner)
        Scanner->AppendQuotedName(Out, Name);
    else
        Out += Name;
}
void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name);
// Appends Scanner->QuoteIdentifier(Name), or Name without a scanner.
void AppendQuotedIdentifier(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name);
// Appends Text as FormatAliasFor(Parser, Text) writes it.
void AppendAlias(std::string& Out, const TQBDialect* Parser, const std::string& Text);

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
