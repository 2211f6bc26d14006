// libFuzzer target for the scanner (both dialects, with peeking and stepping back) and the
// text utilities. It checks that nothing crashes or hangs and that the round trips hold:
// UnquoteText(QuoteText(s)) == s for symmetric quotes, DecodeCharCodes inverts
// EncodeCharCodes, and qualifier + "." + last name gives the name back.
#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"
#include "lexer/QBUtils.h"
#include "toolkit/TStringList.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void FuzzScanner(std::uint8_t options, const std::string& text) {
    // Built once: the word lists are the same for every input, and reuse also checks that
    // SetText starts over cleanly after whatever the previous input left behind.
    static const auto base = MakeScanner<TQBSQLScanner>();
    static const auto ms = MakeScanner<TQBMSSQLScanner>();
    TQBSQLScanner* scanner = base.get();
    if ((options & 1) != 0) {
        ms->SetAlterQuotes((options & 2) != 0);
        scanner = ms.get();
    }
    try {
        scanner->SetText(text);
        std::string token;
        std::size_t reads = 0;
        while (!scanner->GetTokenKinds().Contains(qtkEnd)) {
            // Every read that does not end the text consumes at least one byte.
            Check(++reads <= text.size() + 2);
            Check(scanner->GetLine() >= 1);
            if ((options & 4) != 0) (void)scanner->NextTokenKinds();
            if ((options & 8) != 0 && reads % 7 == 3) {
                const int position = scanner->GetPosition();
                scanner->Skip(-static_cast<int>(token.size()));
                Check(scanner->GetPosition() <= position);
                scanner->Skip(static_cast<int>(token.size()));
            }
            scanner->NextToken(token);
        }
    } catch (const EQBParserError& error) {
        Check(error.ErrorCode == qpeUnterminatedString);
    }
    (void)scanner->NeedsQuotes(text);
    (void)scanner->QuoteName(text);
    (void)scanner->QuoteIdentifier(text);
    (void)scanner->UnquoteName(text);
    const std::string quoted = scanner->QuoteString(text);
    Check(quoted.size() >= 2);
}

void FuzzUtilities(std::uint8_t options, const std::string& text) {
    const char quotes[][2] = {{'\'', '\''}, {'"', '"'}, {'[', ']'}, {']', '['}};
    const auto& q = quotes[options % 4];
    const std::string quoted = QuoteText(text, q[0], q[1]);
    if (q[0] == q[1]) Check(UnquoteText(quoted, q[0], q[1]) == text);
    (void)QuoteTextIfNeeded(text, q[0], q[1]);
    (void)UnquoteText(text, q[0], q[1]);

    const std::string qualifier = ExtractQualifier(text, q[0], q[1]);
    const std::string last = ExtractLastName(text, q[0], q[1]);
    if (!qualifier.empty()) Check(qualifier + "." + last == text);

    const std::string encoded = EncodeCharCodes(text, '"', '#');
    Check(encoded.size() >= 2);
    Check(DecodeCharCodes(encoded.substr(1, encoded.size() - 2), '"', '#') == text);
    (void)DecodeCharCodes(text, '"', '#');

    (void)PosCase(text.substr(0, text.size() / 3), text, (options & 4) != 0);
    (void)IsExpressionText(text);

    TStringList list;
    list.SetCommaText(text);
    TStringList back;
    back.SetCommaText(list.GetCommaText());
    Check(back.Count() == list.Count());
    UpperCaseStrings(&list);

    std::vector<TPoint> points;
    for (std::size_t i = 0; i + 1 < text.size() && points.size() < 16; i += 2)
        points.push_back({static_cast<signed char>(text[i]) * 40,
                          static_cast<signed char>(text[i + 1]) * 40});
    (void)FindSegmentAt(points, {0, 0}, (options >> 4) * 1.5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t options = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    FuzzScanner(options, text);
    FuzzUtilities(options, text);
    return 0;
}
