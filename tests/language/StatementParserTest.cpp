#include "language/Cp932.h"
#include "language/Statements.h"

#include <gtest/gtest.h>

namespace kuv {
namespace {

// Messages are written here in UTF-8 and compared as the CP932 bytes the
// parser produces.
std::string Sjis(const char* utf8) { return Utf8ToCp932(utf8); }

struct ParseRow {
    const char* intent;
    const char* line;
    const char* msg;  // UTF-8; "" for a valid statement
    std::array<std::int32_t, 6> nums;
    const char* text;
};

void PrintTo(const ParseRow& row, std::ostream* os) { *os << row.intent; }

const ParseRow kParseRows[] = {
    {"line at the far corners is valid", "LINE 0 0 640 480 7", "", {0, 0, 640, 480, 7}, ""},
    {"x one past the edge", "LINE 0 0 641 480 7", "\"641\"は範囲外の数字です", {}, ""},
    {"line without its colour", "LINE 0 0 640 480", "設定値が足りません", {}, ""},
    {"line stops at the first bad word", "LINE A 0 B 0 1", "\"A\"は数字ではありません", {}, ""},
    {"line stops even before a later range error", "LINE A 0 999 0 1", "\"A\"は数字ではありません", {}, ""},
    {"runs of spaces separate words", "BOX 10  20   30 40 1", "", {10, 20, 30, 40, 1}, ""},
    {"commas are part of a word", "LINE 10,20,30,40,1", "設定値が足りません", {}, ""},
    {"the last out-of-range slot wins", "CIRCLE 100 100 400 9", "\"9\"は範囲外の数字です", {}, ""},
    {"radius 320 is allowed", "CIRCLE 320 240 320 1", "", {320, 240, 320, 1}, ""},
    {"negative radius", "CIRCLE 320 240 -1 1", "\"-1\"は範囲外の数字です", {}, ""},
    {"end angle 721 is allowed", "ARC 320 240 100 0 721 1", "", {320, 240, 100, 0, 721, 1}, ""},
    {"end angle 722", "ARC 320 240 100 0 722 1", "\"722\"は範囲外の数字です", {}, ""},
    {"text y below 10", "TEXT 0 5 1 HI", "\"5\"は範囲外の数字です", {}, "HI"},
    {"text y of 10", "TEXT 0 10 1 HI", "", {0, 10, 1}, "HI"},
    {"text keeps three words", "TEXT 100 100 2 HELLO   BIG WORLD AND MORE", "", {100, 100, 2}, "HELLO BIG WORLD"},
    {"text of two words", "TEXT 1 20 3 A B", "", {1, 20, 3}, "A B"},
    {"text without its string", "TEXT 100 100 2", "設定値が足りません", {}, ""},
    {"paint24 red above a byte", "PAINT24 10 10 0 0 256", "\"256\"は範囲外の数字です", {}, ""},
    {"words past a statement are ignored", "LINE 1 2 3 4 5 6 7 8", "", {1, 2, 3, 4, 5}, ""},
    {"bad text y counts as 0", "TEXT 5 ABC 1 HI", "\"ABC\"は範囲外の数字です", {}, "HI"},
    {"not a number when all in range", "CIRCLE 10 20 30 Z", "\"Z\"は数字ではありません", {}, ""},
    {"out of range beats not a number", "CIRCLE 100 100 400 Z", "\"400\"は範囲外の数字です", {}, ""},
    {"the last bad word wins among bad words", "PAINT X1Z 2 Q 1", "\"Q\"は数字ではありません", {}, ""},
    {"hexadecimal prefixes", "LINE $10 X10 0X10 16 1", "", {16, 16, 16, 16, 1}, ""},
    {"minus zero", "CIRCLE 100 100 -0 1", "", {100, 100, 0, 1}, ""},
    {"two signs", "CIRCLE 100 100 +-5 1", "\"+-5\"は数字ではありません", {}, ""},
    {"hex minus one fails its range", "PAINT 1 1 $FFFFFFFF 1", "\"$FFFFFFFF\"は範囲外の数字です", {}, ""},
    {"paint with all four", "PAINT 320 240 6 1", "", {320, 240, 6, 1}, ""},
    {"paint24 with all five", "PAINT24 1 2 3 4 5", "", {1, 2, 3, 4, 5}, ""},
    {"a full-width space is part of a word", "LINE 1　2 3 4 5", "設定値が足りません", {}, ""},
    {"a tab is part of a word", "CIRCLE 1\t2 3 4 5", "\"1\t2\"は数字ではありません", {}, ""},
    {"Japanese text", "TEXT 10 400 0 こんにちは　世界", "", {10, 400, 0}, "こんにちは　世界"},
};

class ParseStatementTest : public ::testing::TestWithParam<ParseRow> {};

TEST_P(ParseStatementTest, GivesMessageOrNumbers) {
    const ParseRow& row = GetParam();
    const TStatementArgs args = ParseStatement(Sjis(row.line));
    EXPECT_EQ(args.Msg, Sjis(row.msg)) << row.intent;
    if (args.Msg.empty()) {
        EXPECT_EQ(args.Nums, row.nums) << row.intent;
    }
    if (ClassifyStatement(Sjis(row.line)) == skText) {
        EXPECT_EQ(args.Text, Sjis(row.text)) << row.intent;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseStatementTest, ::testing::ValuesIn(kParseRows));

struct NumberRow {
    const char* word;
    bool converts;
    std::int32_t value;
};

void PrintTo(const NumberRow& row, std::ostream* os) { *os << row.word; }

class ConvertNumberTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(ConvertNumberTest, FollowsTheNumberSyntax) {
    const NumberRow& row = GetParam();
    std::int32_t v = 12345;
    EXPECT_EQ(ConvertNumber(row.word, v), row.converts) << row.word;
    if (row.converts) {
        EXPECT_EQ(v, row.value) << row.word;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConvertNumberTest,
    ::testing::Values(NumberRow{"0", true, 0}, NumberRow{"007", true, 7}, NumberRow{"-0", true, 0},
                      NumberRow{"+12", true, 12}, NumberRow{"-12", true, -12},
                      NumberRow{"2147483647", true, 2147483647}, NumberRow{"-2147483648", true, INT32_MIN},
                      NumberRow{"2147483648", false, 0}, NumberRow{"-2147483649", false, 0},
                      NumberRow{"99999999999999999999", false, 0}, NumberRow{"", false, 0},
                      NumberRow{"+", false, 0}, NumberRow{"-", false, 0}, NumberRow{"$", false, 0},
                      NumberRow{"X", false, 0}, NumberRow{"0X", false, 0}, NumberRow{"-$10", false, 0},
                      NumberRow{"+X10", false, 0}, NumberRow{"12A", false, 0}, NumberRow{"1.5", false, 0},
                      NumberRow{"1,000", false, 0}, NumberRow{"$FF", true, 255}, NumberRow{"0X1F", true, 31},
                      NumberRow{"X7FFFFFFF", true, INT32_MAX}, NumberRow{"$80000000", true, INT32_MIN},
                      NumberRow{"$FFFFFFFF", true, -1}, NumberRow{"$000000000001", true, 1},
                      NumberRow{"$100000000", false, 0}, NumberRow{"$G", false, 0}, NumberRow{"0XX1", false, 0},
                      NumberRow{"00X1", false, 0}, NumberRow{" 1", false, 0}));

struct KindRow {
    const char* line;
    StatementKind kind;
};

void PrintTo(const KindRow& row, std::ostream* os) { *os << row.line; }

class ClassifyTest : public ::testing::TestWithParam<KindRow> {};

TEST_P(ClassifyTest, UsesLeadingBytes) {
    EXPECT_EQ(ClassifyStatement(GetParam().line), GetParam().kind) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ClassifyTest,
    ::testing::Values(KindRow{"LINE 1", skLine}, KindRow{"LINE", skUnknown}, KindRow{"LINE1 2 3 4 5", skUnknown},
                      KindRow{"BOX 1", skBox}, KindRow{"CIRCLE 1", skCircle}, KindRow{"ARC 1", skArc},
                      KindRow{"PAINT 1", skPaint}, KindRow{"PAINT24 1", skPaint24}, KindRow{"PAINT24", skUnknown},
                      KindRow{"REM", skRem}, KindRow{"REMARK", skRem}, KindRow{"END", skEnd},
                      KindRow{"ENDING", skEnd}, KindRow{"TEXT A", skText}, KindRow{"", skUnknown},
                      KindRow{"line 1 2 3 4 5", skUnknown}, KindRow{" LINE 1", skUnknown}));

TEST(ParseStatement, CutsLongMessagesWithoutSplittingACharacter) {
    // A word of 250 double-byte bytes makes a message far past 255 bytes.
    std::string word;
    for (int i = 0; i < 125; ++i) word += Sjis("あ");
    const TStatementArgs args = ParseStatement("CIRCLE 1 1 1 " + word);
    // '"', the word, '"' and "は" make 254 bytes; the next character would pass 255.
    EXPECT_EQ(args.Msg, "\"" + word + "\"" + Sjis("は"));
}

}  // namespace
}  // namespace kuv
