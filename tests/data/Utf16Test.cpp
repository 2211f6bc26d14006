// Wide text from drivers, converted to the UTF-8 used everywhere else.
#include "data/DataQuery.h"

#include <gtest/gtest.h>

namespace {

struct TUtf16Case {
    const char* Name;
    std::u16string Wide;
    std::string Expected;
};

void PrintTo(const TUtf16Case& c, std::ostream* os) { *os << c.Name; }

class Utf16ToUtf8Test : public testing::TestWithParam<TUtf16Case> {};

TEST_P(Utf16ToUtf8Test, ConvertsEveryPlane) { EXPECT_EQ(Utf16ToUtf8(GetParam().Wide), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(Cases, Utf16ToUtf8Test,
                         testing::Values(TUtf16Case{"Ascii", u"Tea", "Tea"},
                                         TUtf16Case{"Empty", u"", ""},
                                         TUtf16Case{"TwoByte", u"café", "café"},
                                         TUtf16Case{"Chinese", u"绿茶", "绿茶"},
                                         TUtf16Case{"SurrogatePair", u"a\U0001F375b", "a\U0001F375b"},
                                         TUtf16Case{"LoneHighSurrogate", std::u16string(1, char16_t(0xD83C)) + u"x",
                                                    "\xEF\xBF\xBDx"},
                                         TUtf16Case{"LoneLowSurrogate", std::u16string(1, char16_t(0xDF75)),
                                                    "\xEF\xBF\xBD"}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
