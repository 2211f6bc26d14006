// Small toolkit services: message formatting with several arguments, and the guard that puts
// variables back when its scope is left, by return or by exception.
#include "toolkit/Exceptions.h"
#include "toolkit/TRestoreOnExit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(FormatMessage, FillsThePlaceholdersInOrder) {
    struct Row {
        const char* Format;
        std::initializer_list<std::string_view> Arguments;
        const char* Expected;
    };
    const Row rows[] = {
        {"invalid '%s' at %d line %d", {"x", "4", "2"}, "invalid 'x' at 4 line 2"},
        {"two %s %s, one given", {"a"}, "two a %s, one given"},  // the rest stands as written
        {"none", {"unused"}, "none"},
        {"100%", {"x"}, "100%"},  // a lone percent sign at the end is text
        {"%x%s", {"y"}, "%xy"},
    };
    for (const Row& row : rows) EXPECT_EQ(FormatMessage(row.Format, row.Arguments), row.Expected);
    EXPECT_EQ(FormatMessage("index %d", std::string("7")), "index 7");
}

TEST(RestoreOnExit, PutsEveryVariableBackAlsoWhenAnExceptionLeaves) {
    std::string text = "kept";
    int number = 1;
    {
        const TRestoreOnExit saved(text, number);
        text = "changed";
        number = 2;
    }
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(number, 1);
    try {
        const TRestoreOnExit saved(text, number);
        text.clear();
        number = 3;
        throw std::runtime_error("read failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(number, 1);
}

}  // namespace
