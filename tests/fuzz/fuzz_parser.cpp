// libFuzzer target for the SELECT parser and the statement writer: any input, in both
// dialects, must end in a statement or a parse error; an accepted statement must be
// written, and writing what was written must give the same text again.
#include "lexer/QBParserError.h"
#include "korvel-sql/StatementFormat.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(TQBSelectParser& Parser, const std::string& Text) {
    const TQBFormatResult first = FormatStatement(Parser, Text);
    if (!first.Ok || first.Text.empty()) return;
    const TQBFormatResult second = FormatStatement(Parser, first.Text);
    if (!second.Ok || second.Text != first.Text) std::abort();  // not idempotent
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static auto ms = MakeFormatParser({});
    static auto base = [] {
        TQBFormatOptions options;
        options.MSDialect = false;
        return MakeFormatParser(options);
    }();
    const std::string text(reinterpret_cast<const char*>(Data), Size);
    Check(*ms, text);
    Check(*base, text);
    return 0;
}
