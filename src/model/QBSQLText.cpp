// The appending services of the SQL writers. Names and literals are quoted by the scanner,
// whose rules are the only ones: a writer appends its answer.
#include "model/QBSQLText.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBModelBase.h"

void AppendRecased(std::string& Out, std::string_view Text, TQBFormatMode Mode) {
    Out += ApplyFormatMode(Text, Mode);
}

void AppendKeywordPhraseRecased(std::string& Out, const TQBDialect* Parser,
                                std::string_view Phrase) {
    const auto separator = [](char c) { return c == ' ' || c == '\r' || c == '\n'; };
    std::size_t i = 0;
    while (i < Phrase.size()) {
        std::size_t end = i;
        const bool blank = separator(Phrase[i]);
        while (end < Phrase.size() && separator(Phrase[end]) == blank) ++end;
        if (blank)
            Out.append(Phrase.substr(i, end - i));
        else
            AppendKeyword(Out, Parser, Phrase.substr(i, end - i));
        i = end;
    }
}

void AppendQuotedName(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name) {
    if (Scanner)
        Scanner->AppendQuotedName(Out, std::string(Name));
    else
        Out += Name;
}

void AppendQuotedIdentifier(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Name) {
    if (Scanner)
        Scanner->AppendQuotedIdentifier(Out, std::string(Name));
    else
        Out += Name;
}

void AppendAlias(std::string& Out, const TQBDialect* Parser, const std::string& Text) {
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (scanner && scanner->QuoteAliases())
        AppendQuotedName(Out, scanner, Text);
    else
        Out += Text;
}

const TQBSQLScanner* CollectionScanner(const TQBCollectionItem& Item) {
    const TQBCollection* collection = Item.GetQBCollection();
    const TQBDialect* parser = collection ? collection->GetParser() : nullptr;
    return parser ? parser->GetScanner() : nullptr;
}

namespace {

// Name split at the point after its first Length bytes; npos: no qualifier.
TQBNameParts SplitAt(std::string_view Name, std::size_t Length) {
    if (Length == std::string_view::npos) return {std::string_view(), Name};
    return {Name.substr(0, Length), Name.substr(Length + 1)};
}

}  // namespace

TQBNameParts SplitQualifiedName(std::string_view Name, char Open, char Close) {
    // Without quotes the last point separates (one at the very start does not): one pass.
    std::size_t point = 0;
    for (std::size_t i = 0; i < Name.size(); ++i) {
        const char ch = Name[i];
        if (ch == '.')
            point = i;
        else if (ch == Open || ch == Close)
            return SplitAt(Name, QualifierLength(Name, Open, Close));
    }
    return SplitAt(Name, point == 0 ? std::string_view::npos : point);
}
