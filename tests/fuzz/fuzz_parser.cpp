// libFuzzer target for the SELECT parser and the statement writer: any input, in both
// dialects, must end in a statement or a parse error; an accepted statement must be
// written, and formatting what was written must give the same text again. Seed it with the
// golden statements (tests/golden): the run_fuzz_parser target does.
#include "lexer/QBParserError.h"
#include "korvel-sql/StatementFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Formats Text, then formats the output again: any difference (or an error) is a finding,
// shown with both texts before the target stops.
void Check(TQBSelectParser& Parser, const std::string& Text) {
    const TQBFormatResult first = FormatStatement(Parser, Text);
    if (!first.Ok || first.Text.empty()) return;
    const TQBFormatResult second = FormatStatement(Parser, first.Text);
    if (second.Ok && second.Text == first.Text) return;
    std::fprintf(stderr, "formatting the output again changed it\n--- output\n%s\n--- again\n%s\n",
                 first.Text.c_str(), second.Ok ? second.Text.c_str() : second.Error.c_str());
    std::abort();
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
