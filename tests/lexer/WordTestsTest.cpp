// The reader's word tests: a dialect that replaces IsNumber, IsBoolean or IsIdentifier is
// asked for every word, and the built-in dialects read the same tokens either way.
#include "lexer/QBMSScanner.h"
#include "ScannerTestSupport.h"
#include "lexer/QBParserError.h"

#include <gtest/gtest.h>

namespace {

// Reads YES and NO as Boolean texts, hexadecimal 0x.. as numbers and $-names as names.
class TWordTestScanner : public TQBMSSQLScanner {
public:
    bool IsBoolean(const std::string& S) const override {
        return SameText(S, "YES") || SameText(S, "NO");
    }
    bool IsNumber(const std::string& S) const override {
        if (S.size() > 2 && S[0] == '0' && (S[1] == 'x' || S[1] == 'X'))
            return S.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos;
        return TQBMSSQLScanner::IsNumber(S);
    }
    bool IsIdentifier(const std::string& S) const override {
        return (!S.empty() && S[0] == '$') || TQBMSSQLScanner::IsIdentifier(S);
    }
};

// Overrides only one test, the others stay the built-in ones.
class TBooleanOnlyScanner : public TQBSQLScanner {
public:
    bool IsBoolean(const std::string& S) const override { return S == "si"; }
};

ScannedToken T(const char* Text, TQBTokenKinds Kinds) { return {Text, Kinds}; }

// The tokens of Text, and the message of an error that ends the reading.
std::vector<ScannedToken> ScanOrFail(TQBSQLScanner& Scanner, const std::string& Text) {
    try {
        return ScanAll(Scanner, Text);
    } catch (const EQBParserError& error) {
        return {{error.what(), {}}};
    }
}

}  // namespace

TEST(ScannerWordTests, MakeScannerTellsReplacedTestsFromInheritedOnes) {
    static_assert(KeepsWordTests<TQBSQLScanner>);
    static_assert(KeepsWordTests<TQBMSSQLScanner>);
    static_assert(!KeepsWordTests<TWordTestScanner>);
    static_assert(!KeepsWordTests<TBooleanOnlyScanner>);
}

TEST(ScannerWordTests, ADialectsOwnTestsDecideTheKinds) {
    auto scanner = MakeScanner<TWordTestScanner>();
    EXPECT_EQ(ScanAll(*scanner, "SELECT yes, 0x1F, $a, 12.5, true FROM t"),
              (std::vector<ScannedToken>{
                  T("SELECT", qtkKeyword), T("yes", qtkBoolean), T(",", qtkSymbol),
                  T("0x1F", qtkInteger), T(",", qtkSymbol), T("$a", qtkIdentifier),
                  T(",", qtkSymbol), T("12.5", qtkFloat), T(",", qtkSymbol),
                  T("true", qtkIdentifier), T("FROM", qtkKeyword), T("t", qtkIdentifier)}));
    auto single = MakeScanner<TBooleanOnlyScanner>();
    EXPECT_EQ(ScanAll(*single, "si SI 1"),
              (std::vector<ScannedToken>{T("si", qtkBoolean), T("SI", qtkIdentifier),
                                         T("1", qtkInteger)}));
}

TEST(ScannerWordTests, BuiltInDialectsReadTheSameTokensByTheirTests) {
    // A scanner made without MakeScanner asks its tests (the slow path); the result must
    // be the fast path's, token for token.
    const char* texts[] = {
        "SELECT a.b, [c d].e AS f, [a]]b], 'x''y', N'z', 12, 3.5, 7., .5, true, FALSE FROM t1 x",
        "SELECT 'open",
        "SELECT _a, \xE5\xA7\x93\xE5\x90\x8D, a\xE5\x90\x8D FROM \xE5\xAE\xA2 WHERE x >= 1 -- c\r\n",
        "select \"q\"\"w\", @v, #t, :p, a+b*c/d FROM s.t.u /* x */ GROUP BY 1",
    };
    for (const bool ms : {false, true}) {
        std::unique_ptr<TQBSQLScanner> fast, slow;
        if (ms) {
            fast = MakeScanner<TQBMSSQLScanner>();
            slow = std::make_unique<TQBMSSQLScanner>();
        } else {
            fast = MakeScanner<TQBSQLScanner>();
            slow = std::make_unique<TQBSQLScanner>();
        }
        slow->Init();
        for (const char* text : texts)
            EXPECT_EQ(ScanOrFail(*slow, text), ScanOrFail(*fast, text)) << text << (ms ? " (MS)" : "");
    }
}
