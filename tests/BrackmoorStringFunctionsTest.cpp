// BrackmoorStringFunctionsTest.cpp - searches, cuts and extensions at their boundaries.
#include "BrackmoorStringFunctions.h"

#include <gtest/gtest.h>

#include <stdexcept>

// A set of characters, not a substring; a start at or past the end, or before 0, finds nothing.
TEST(BrackmoorStringFunctions, InStr) {
    const struct {
        const char* str;
        const char* what;
        int pos;
        int expected;
    } cases[] = {
        {"model.lwo", ".", 0, 5}, {"model.lwo", ".", 5, 5}, {"model.lwo", ".", 6, -1},
        {"abc", "xc", 0, 2},      {"abc", "cb", 0, 1},      {"abc", "b", -1, -1},
        {"abc", "a", 3, -1},      {"abc", "a", 100, -1},    {"abc", "", 0, -1},
        {"", "a", 0, -1},         {"aAa", "A", 0, 1},       {"abc", "bc", 2, 2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.str, c.what, c.pos), c.expected)
            << '"' << c.str << "\" \"" << c.what << "\" " << c.pos;
}

TEST(BrackmoorStringFunctions, Cuts) {
    EXPECT_EQ(Mid("abcdef", 2, 3), "cde");
    EXPECT_EQ(Mid("abcdef", 4, 10), "ef");
    EXPECT_EQ(Mid("abcdef", 0, 0), "");
    EXPECT_EQ(Mid("abcdef", 1, -1), "bcdef");  // a negative length runs to the end
    EXPECT_EQ(Mid("abc", 3, 1), "");           // a start at the end is allowed
    EXPECT_EQ(Left("abcdef", 2), "ab");
    EXPECT_EQ(Left("ab", 5), "ab");
    EXPECT_EQ(Left("ab", 0), "");
    EXPECT_EQ(Left("abc", -1), "abc");
    EXPECT_EQ(Right("abcdef", 2), "ef");
    EXPECT_EQ(Right("abc", 3), "abc");
    EXPECT_EQ(Right("abc", 0), "");
}

// Starts before the string or past its end are the substring operation's out-of-range errors.
TEST(BrackmoorStringFunctions, CutsOutOfRangeThrow) {
    EXPECT_THROW(Mid("abc", 4, 1), std::out_of_range);
    EXPECT_THROW(Mid("abc", -1, 1), std::out_of_range);
    EXPECT_THROW(Mid("", 1, 0), std::out_of_range);
    EXPECT_THROW(Right("abc", 4), std::out_of_range);
    EXPECT_THROW(Right("abc", -1), std::out_of_range);
    EXPECT_THROW(Right("", 1), std::out_of_range);
}

TEST(BrackmoorStringFunctions, HasEnding) {
    const struct {
        const char* full;
        const char* ending;
        bool expected;
    } cases[] = {
        {"Zarodoru.lwo", ".lwo", true},
        {"lwo", ".lwo", false},
        {"x.LWO", ".lwo", false},
        {".lwo", ".lwo", true},
        {"abc", "", true},
        {"", "", true},
        {"", "a", false},
        {"a.lwox", ".lwo", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hasEnding(c.full, c.ending), c.expected) << c.full << " / " << c.ending;
}

// Only a dot among the last five characters counts; the first such dot starts the result.
TEST(BrackmoorStringFunctions, GetExtension) {
    const struct {
        const char* filename;
        const char* expected;
    } cases[] = {
        {"Zarodoru.lwo", ".lwo"},
        {"photo.jpeg", ".jpeg"},
        {"a.tiff2", ""},
        {"a.b", ""},
        {"RAWTest", ""},
        {"a.b.cd", ".b.cd"},
        {"ab.cd", ".cd"},
        {".abcd", ".abcd"},
        {"", ""},
        {"name.", "."},
        {"dir.d/file", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(getExtension(c.filename), c.expected) << c.filename;
}

TEST(BrackmoorStringFunctions, StripDirectoryIsEmpty) {
    char path[] = "data/model.lwo";
    EXPECT_EQ(stripDirectory(path), "");
}
