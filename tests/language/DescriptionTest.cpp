// The Picture in words: what each statement drew, where, how much of it
// can be seen, and what it lies in.
#include "language/Cp932.h"
#include "language/Description.h"
#include "language/Runner.h"

#include <gtest/gtest.h>

namespace kuv {
namespace {

struct Described {
    Description d;
    RunResult run;
};

Described Describe(std::string_view utf8) {
    Listing listing(Utf8ToCp932(utf8));
    Picture picture;
    picture.RecordOwners();
    Described out;
    out.run = RunProgram(listing, picture);
    const int last = out.run.error ? out.run.error->line - 1 : listing.Count();
    out.d = DescribeRun(listing, last, picture);
    return out;
}

std::string Utf8(const std::u16string& s) { return Utf16ToUtf8(s); }

TEST(DescribeRunTest, ABoxWithACircleInside) {
    const Described r = Describe("BOX 100 100 300 300 1\r\nCIRCLE 200 200 50 2\r\n");
    ASSERT_EQ(r.d.items.size(), 2u);
    const DescribedItem& box = r.d.items[0];
    const DescribedItem& circle = r.d.items[1];
    EXPECT_EQ(box.inside, 0);
    EXPECT_EQ(circle.inside, 1);
    EXPECT_EQ(circle.params, (std::vector<std::int32_t>{200, 200, 50, 2}));
    ASSERT_TRUE(box.bbox);
    EXPECT_EQ(*box.bbox, (std::array<int, 4>{100, 100, 300, 300}));
    EXPECT_EQ(box.pixels, 4 * 200);
    EXPECT_EQ(Utf8(circle.words), "2行 円（赤）: 中心 (200, 200)、半径 50。左に見えます（" + std::to_string(circle.pixels) +
                                      " 点）。1行の四角の中です。");
    EXPECT_EQ(Utf8(r.d.summary), "描いた命令は 2 個、使った色は 青、赤 です。");
}

TEST(DescribeRunTest, AShapeCoveredByALaterFillIsHiddenByIt) {
    const Described r = Describe("LINE 10 10 50 10 2\r\nPAINT 0 0 4 1\r\n");
    ASSERT_EQ(r.d.items.size(), 2u);
    EXPECT_EQ(r.d.items[0].pixels, 0);
    EXPECT_FALSE(r.d.items[0].bbox);
    EXPECT_EQ(r.d.items[0].hiddenBy, 2);
    EXPECT_EQ(Utf8(r.d.items[0].words), "1行 線（赤）: (10, 10) から (50, 10) まで。2行の塗りに隠れて見えません。");
    EXPECT_DOUBLE_EQ(r.d.items[1].percent, 100.0);
}

TEST(DescribeRunTest, APaintThatFillsHalfThePicture) {
    const Described r = Describe("BOX 320 0 640 480 1\r\nPAINT 0 0 2 1\r\n");
    const DescribedItem& paint = r.d.items[1];
    EXPECT_EQ(paint.pixels, 320L * 481);
    EXPECT_NEAR(paint.percent, 49.9, 0.05);
    EXPECT_EQ(paint.place, Place::Left);
    EXPECT_NE(Utf8(paint.words).find("絵の 49.9%"), std::string::npos) << Utf8(paint.words);
    EXPECT_EQ(r.d.items[0].percent, -1);
}

TEST(DescribeRunTest, TextInKana) {
    const Described r = Describe("TEXT 10 470 0 ねこ\r\n");
    ASSERT_EQ(r.d.items.size(), 1u);
    const DescribedItem& text = r.d.items[0];
    EXPECT_EQ(DecodeCp932(text.text), u"ねこ");
    EXPECT_GT(text.pixels, 20);
    EXPECT_EQ(text.place, Place::TopLeft);
    EXPECT_EQ(Utf8(text.words).substr(0, std::string("1行 文字「ねこ」（黒）: 左上 (10, 470)。左上に見えます").size()),
              "1行 文字「ねこ」（黒）: 左上 (10, 470)。左上に見えます");
}

TEST(DescribeRunTest, AnErrorAtLineThreeDescribesTheLinesBefore) {
    const Described r = Describe("REM\r\nCIRCLE 600 40 20 4\r\nFOO\r\nLINE 0 0 9 9 1\r\n");
    ASSERT_TRUE(r.run.error);
    ASSERT_EQ(r.d.items.size(), 1u);
    EXPECT_EQ(r.d.items[0].line, 2);
    EXPECT_EQ(r.d.items[0].place, Place::BottomRight);
}

TEST(DescribeRunTest, Paint24NamesItsComponentsAndTheNearestColour) {
    const Described r = Describe("PAINT24 5 5 0 0 250\r\n");
    EXPECT_EQ(Utf8(ColourWords(r.d.items[0])), "青 0・緑 0・赤 250、赤に近い色");
    EXPECT_EQ(Utf8(r.d.summary), "描いた命令は 1 個、使った色は 赤 です。");
    EXPECT_EQ(Utf8(Describe("").d.summary), "描いた命令はありません。");
}

TEST(DescribeChangeTest, NamesTheLinesChangedAddedAndRemoved) {
    // As the runs themselves count them.
    const auto drawn = [](std::string_view listing) {
        Listing l{std::string(listing)};
        Picture picture;
        const RunResult run = RunProgram(l, picture);
        return StatementsRun(l, run.statementsRun);
    };
    const RunStatements before = drawn("BOX 1 1 9 9 1\r\nCIRCLE 5 5 3 2\r\nLINE 0 0 9 9 1");
    EXPECT_EQ(Utf8(DescribeChange(before, before)), "前の実行から変わった命令はありません。");
    EXPECT_EQ(Utf8(DescribeChange(before, drawn("BOX 1 1 9 9 1\r\nCIRCLE 5 5 4 2\r\nLINE 0 0 9 9 1"))),
              "前の実行から、2行が変わりました。");
    EXPECT_EQ(Utf8(DescribeChange(before, drawn("BOX 1 1 9 9 1\r\nrem\r\nCIRCLE 5 5 3 2\r\nARC 1 1 1 1 1 1\r\nLINE 0 0 9 9 1"))),
              "前の実行から、4行が増えました。");
    EXPECT_EQ(Utf8(DescribeChange(before, drawn("BOX 1 1 9 9 1"))), "前の実行から、命令が 2 個減りました。");
    const RunResult run = [] { Listing l(std::string("PAINT24 5 5 0 0 250\r\nBOX 1 1 9 9 2\r\nLINE 1 1 2 2 1")); Picture p; return RunProgram(l, p); }();
    EXPECT_EQ(Utf8(SummaryOfRun(run)), "描いた命令は 3 個、使った色は 赤、青 です。");
}

}  // namespace
}  // namespace kuv
