// The rules that the desktop program and the page both show, as the core
// states them once.
#include "language/LineStyle.h"
#include "language/Listing.h"
#include "language/Messages.h"
#include "language/RunHistory.h"
#include "language/Runner.h"
#include "picture/Highlight.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <vector>

namespace kuv {
namespace {

struct HintRow {
    const char* intent;
    std::u16string line;
    int caret;
    std::u16string hint;  // without its marks
};
void PrintTo(const HintRow& r, std::ostream* os) { *os << r.intent; }

std::u16string Unmarked(std::u16string s) {
    std::u16string out;
    for (char16_t c : s)
        if (c != kHintMarkStart && c != kHintMarkEnd) out += c;
    return out;
}

class HintAtTest : public ::testing::TestWithParam<HintRow> {};

TEST_P(HintAtTest, NamesTheStatementAsItIsTyped) {
    EXPECT_EQ(Unmarked(HintAt(GetParam().line, GetParam().caret)), GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HintAtTest,
    ::testing::Values(
        HintRow{"the word and its space are enough", u"ARC ", 4, u"ARC x y 半径 開始角 終了角 色 — x: 0〜640"},
        HintRow{"in lower case and after spaces", u"  circle ", 9, u"CIRCLE x y 半径 色 — x: 0〜640"},
        HintRow{"the word alone is not yet a statement", u"ARC", 3, u""},
        HintRow{"PAINT24 is not taken for PAINT", u"PAINT24 1", 9, u"PAINT24 x y 青 緑 赤 — x: 0〜640"},
        HintRow{"a word run into its number names nothing", u"LINE10", 6, u""},
        HintRow{"REM needs no space", u"REM", 3, u"REM コメント"}),
    [](const ::testing::TestParamInfo<HintRow>& info) { return "Row" + std::to_string(info.index); });

struct NameRow {
    const char* intent;
    std::u16string chosen, suffix, written;
};
void PrintTo(const NameRow& r, std::ostream* os) { *os << r.intent; }

class CompletedFileNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(CompletedFileNameTest, AddsTheSuffixUnlessItEndsTheNameExactly) {
    EXPECT_EQ(CompletedFileName(GetParam().chosen, GetParam().suffix), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CompletedFileNameTest,
    ::testing::Values(NameRow{"a bare name", u"pic", u".jpg", u"pic.jpg"},
                      NameRow{"the suffix already there", u"pic.jpg", u".jpg", u"pic.jpg"},
                      NameRow{"another case is another suffix", u"pic.JPG", u".jpg", u"pic.JPG.jpg"},
                      NameRow{"a listing in capitals", u"prog.KUV", u".kuv", u"prog.KUV.kuv"},
                      NameRow{"BMP drops the filter's star", u"*.bmp", u".bmp", u".bmp"},
                      NameRow{"only BMP drops stars", u"a*", u".kuv", u"a*.kuv"}),
    [](const ::testing::TestParamInfo<NameRow>& info) { return "Row" + std::to_string(info.index); });

TEST(ErrorBoxTextTest, AddsAFullStopAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(ErrorBoxText(u"JPEG エラー #21"), u"JPEG エラー #21.");
    EXPECT_EQ(ErrorBoxText(u"ファイル a は開けません"), u"ファイル a は開けません.");
    EXPECT_EQ(ErrorBoxText(u"ends in a full stop."), u"ends in a full stop.");
    EXPECT_EQ(ErrorBoxText(u"ends in a comma,"), u"ends in a comma,");
    EXPECT_EQ(ErrorBoxText(u""), u"");
}

TEST(BaseNameTest, DropsFoldersOfEveryKindAndTheLastExtension) {
    EXPECT_EQ(BaseName(u"C:\\dir\\a.b.kuv"), u"a.b");
    EXPECT_EQ(BaseName(u"/home/x/絵.kuv"), u"絵");
    EXPECT_EQ(BaseName(u"noname"), u"noname");
}

struct InsertRow {
    const char* intent;
    char16_t before, after;
    std::u16string text;
};
void PrintTo(const InsertRow& r, std::ostream* os) { *os << r.intent; }

class PointInsertionTest : public ::testing::TestWithParam<InsertRow> {};

TEST_P(PointInsertionTest, NeverRunsIntoAWord) {
    EXPECT_EQ(PointInsertion(12, 345, GetParam().before, GetParam().after), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Rows, PointInsertionTest,
                         ::testing::Values(InsertRow{"an empty line", 0, 0, u"12 345"},
                                           InsertRow{"after a word", u'E', 0, u" 12 345"},
                                           InsertRow{"after a space, before a word", u' ', u'1', u"12 345 "},
                                           InsertRow{"between spaces", u' ', u' ', u"12 345"}),
                         [](const ::testing::TestParamInfo<InsertRow>& info) { return "Row" + std::to_string(info.index); });

TEST(ReplayScheduleTest, EightLinesASecondAndDoneWithinTenSeconds) {
    for (const int lines : {0, 1, 8, 79, 80, 81, 500, 999, 100000, 2147483}) {
        const ReplaySchedule s = ReplayScheduleFor(lines);
        EXPECT_GE(s.intervalMs, 20) << lines;
        EXPECT_LE(s.intervalMs, 125) << lines;
        const long long beats = (std::max(1, lines) + s.step - 1) / s.step;
        EXPECT_LE(beats * s.intervalMs, 10000 + s.intervalMs) << lines;
        if (lines <= 80) EXPECT_EQ(s.intervalMs, 125) << lines;
    }
}

// Every marked pixel blinks to a highlight that stands out on white and is
// never the background's white, whatever its own colour.
TEST(StageFrameTest, MarkedPixelsNeverTakeTheBackgroundsColour) {
    for (const char* line : {"BOX 10 10 100 100 0", "BOX 10 10 100 100 7", "CIRCLE 320 240 50 2",
                             "PAINT24 1 1 0 94 213", "PAINT24 1 1 178 114 0", "TEXT 300 300 6 KUV"}) {
        Listing listing(std::string(line) + "\r\n");
        Picture stage;
        stage.RecordOwners();
        RunProgram(listing, stage);
        std::vector<Pixel> on(std::size_t{Picture::kWidth} * Picture::kHeight), off(on.size());
        StageFrame(stage, 1, true, on.data());
        StageFrame(stage, 1, false, off.data());
        int marked = 0;
        for (std::size_t i = 0; i < on.size(); ++i) {
            EXPECT_EQ(off[i], stage.Pixels()[i]);
            if (stage.Owners()[i] != 1) {
                EXPECT_EQ(on[i], stage.Pixels()[i]);
                continue;
            }
            ++marked;
            ASSERT_NE(on[i], kWhite) << line;
            ASSERT_GE(ContrastRatio(on[i], kWhite), 3.0) << line;
            ASSERT_NE(on[i], off[i]) << line << ": a marked pixel blinks";
        }
        EXPECT_GT(marked, 0) << line;
    }
}

}  // namespace
}  // namespace kuv
