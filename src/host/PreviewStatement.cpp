#include "host/PreviewStatement.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"
#include "parser/QBMSParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

// The parser stops quietly at the first top-level ";". Whatever follows must be further
// semicolons only: a second statement would otherwise run unseen with the preview.
bool OnlySemicolonsAfterFirstSemicolon(TQBSQLScanner& scanner, const std::string& text) {
    scanner.SetText(text);
    bool afterSemicolon = false;
    for (;;) {
        // The scanner marks ";" as an end of statement too; only an empty token ends the text.
        const std::string& token = scanner.GetToken();
        if (token == ";")
            afterSemicolon = true;
        else if (scanner.GetTokenKinds().Contains(qtkEnd) && token.empty())
            return true;
        else if (afterSemicolon)
            return false;
        scanner.Advance();
    }
}

}  // namespace

std::string PreviewStatementError(const std::string& text, bool alterQuotes) {
    auto parser = MakeParser<TQBMSSelectParser>();
    if (auto* scanner = dynamic_cast<TQBMSSQLScanner*>(parser->GetScanner())) scanner->SetAlterQuotes(alterQuotes);
    try {
        parser->ParseSQL(text);
        if (!parser->Valid) return QBResource::SPreviewNotOneSelect;
        if (parser->GetSQL().empty()) return QBResource::SPreviewEmpty;
        auto scanner = parser->CreateScanner();
        if (auto* ms = dynamic_cast<TQBMSSQLScanner*>(scanner.get())) ms->SetAlterQuotes(alterQuotes);
        if (!OnlySemicolonsAfterFirstSemicolon(*scanner, text)) return QBResource::SPreviewNotOneSelect;
    } catch (const EQBParserError& error) {
        return FormatMessage(QBResource::SPreviewParseError, {error.what()});
    }
    return {};
}
