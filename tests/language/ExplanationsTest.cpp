// The explanations of failing lines, their fixes, and the warnings of
// lines that run but surprise.
#include "language/Cp932.h"
#include "language/Explanations.h"
#include "language/Runner.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <random>

namespace kuv {
namespace {

std::string Bytes(std::string_view utf8) { return Utf8ToCp932(utf8); }
std::string Utf8(std::u16string_view s) { return Utf16ToUtf8(s); }

struct MistakeRow {
    const char* intent;
    const char* line;        // UTF-8, as typed
    Mistake mistake;
    const char* fix;         // UTF-8 normal form; null for none
    const char* mentions;    // what the explanation must say, UTF-8
};
void PrintTo(const MistakeRow& r, std::ostream* os) { *os << r.intent; }

class ExplainLineTest : public ::testing::TestWithParam<MistakeRow> {};

TEST_P(ExplainLineTest, NamesTheMistakeAndFixesItWhereCertain) {
    const MistakeRow& r = GetParam();
    const std::optional<Advice> advice = ExplainLine(Bytes(r.line));
    ASSERT_TRUE(advice);
    EXPECT_EQ(advice->mistake, r.mistake);
    const std::string explanation = Utf8(advice->explanation);
    EXPECT_NE(explanation.find(r.mentions), std::string::npos) << explanation;
    if (!r.fix) {
        EXPECT_FALSE(advice->fix) << Cp932ToUtf8(*advice->fix);
        return;
    }
    ASSERT_TRUE(advice->fix) << explanation;
    EXPECT_EQ(Cp932ToUtf8(*advice->fix), r.fix);
    EXPECT_FALSE(CheckLine(*advice->fix).args.error) << "a fix the parser refuses";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExplainLineTest,
    ::testing::Values(
        MistakeRow{"input method on, word and numbers", "ＣＩＲＣＬＥ　１００　１００　５０　１", Mistake::FullWidth,
                   "CIRCLE 100 100 50 1", "文字「Ｃ」"},
        MistakeRow{"input method on, lower case", "ｌｉｎｅ　１０　１０　２０　２０　１", Mistake::FullWidth,
                   "LINE 10 10 20 20 1", "文字「ｌ」"},
        MistakeRow{"input method on for the numbers only", "LINE １０ １０ ２０ ２０ １", Mistake::FullWidth,
                   "LINE 10 10 20 20 1", "半角"},
        MistakeRow{"TEXT keeps its words as typed", "ＴＥＸＴ　１０　２０　１　ＨＩ　ねこ", Mistake::FullWidth,
                   "TEXT 10 20 1 ＨＩ　ねこ", "全角"},
        MistakeRow{"a full-width space alone", "BOX 1　2 3 4 5", Mistake::FullWidth, "BOX 1 2 3 4 5", "全角のスペース"},
        MistakeRow{"full width, then a number out of range", "CIRCLE 100 100 50 ９", Mistake::FullWidth, nullptr, "全角"},
        MistakeRow{"misspelt CIRCLE", "CIRCEL 100 100 50 1", Mistake::Misspelt, "CIRCLE 100 100 50 1", "CIRCLE"},
        MistakeRow{"misspelt LINE", "LIEN 0 0 9 9 1", Mistake::Misspelt, "LINE 0 0 9 9 1", "「LIEN」"},
        MistakeRow{"misspelt PAINT", "PIANT 5 5 2 0", Mistake::Misspelt, "PAINT 5 5 2 0", "PAINT"},
        MistakeRow{"misspelt in lower case", "circel 100 100 50 1", Mistake::Misspelt, "CIRCLE 100 100 50 1", "CIRCLE"},
        MistakeRow{"misspelt PAINT24", "PIANT24 5 5 0 0 255", Mistake::Misspelt, "PAINT24 5 5 0 0 255", "PAINT24"},
        MistakeRow{"two words equally near", "PAINT2 5 5 2 0", Mistake::Unsure, nullptr, "PAINT か PAINT24"},
        MistakeRow{"no word near", "DRAW 1 2 3", Mistake::UnknownWord, nullptr, "LINE、BOX"},
        MistakeRow{"a line that starts with numbers", "10 10 20 20 1", Mistake::UnknownWord, nullptr, "「10」"},
        MistakeRow{"no space after LINE", "LINE10 10 20 20 1", Mistake::NoSpace, "LINE 10 10 20 20 1", "LINE と数の間"},
        MistakeRow{"no space after CIRCLE", "CIRCLE100 100 50 1", Mistake::NoSpace, "CIRCLE 100 100 50 1", "CIRCLE"},
        MistakeRow{"no space after PAINT24", "PAINT2410 10 0 0 255", Mistake::NoSpace, "PAINT24 10 10 0 0 255", "PAINT24"},
        MistakeRow{"no space, and short of numbers", "CIRCLE100 100 50", Mistake::NoSpace, nullptr, "スペースを入れます"},
        MistakeRow{"commas", "LINE 10,20,30,40,1", Mistake::Separator, "LINE 10 20 30 40 1", "「,」"},
        MistakeRow{"commas and spaces", "LINE 10, 20, 30, 40, 1", Mistake::Separator, "LINE 10 20 30 40 1", "スペースで区切ります"},
        MistakeRow{"Japanese commas", "BOX 1、2、3、4、5", Mistake::Separator, "BOX 1 2 3 4 5", "「、」"},
        MistakeRow{"commas and no space", "LINE10,20,30,40,1", Mistake::Separator, "LINE 10 20 30 40 1", "「,」"},
        MistakeRow{"the letter O among digits", "CIRCLE 1O0 100 50 1", Mistake::LettersForDigits, "CIRCLE 100 100 50 1", "O"},
        MistakeRow{"the letters I and L", "LINE 1I 2L 30 40 1", Mistake::LettersForDigits, "LINE 11 21 30 40 1", "x1"},
        MistakeRow{"a decimal point", "CIRCLE 100.5 100 50 1", Mistake::Decimal, nullptr, "整数"},
        MistakeRow{"a word that is no number", "CIRCLE 100 100 ABC 1", Mistake::NotANumber, nullptr, "半径 には 0〜320"},
        MistakeRow{"x too big", "LINE 0 0 641 0 2", Mistake::TooBig, "LINE 0 0 640 0 2", "x2 に使えるのは 0〜640"},
        MistakeRow{"by how much", "CIRCLE 100 100 350 1", Mistake::TooBig, "CIRCLE 100 100 320 1", "30 大きい"},
        MistakeRow{"a negative number", "BOX -5 0 10 10 1", Mistake::TooSmall, "BOX 0 0 10 10 1", "5 小さい"},
        MistakeRow{"a colour past 7", "CIRCLE 100 100 50 8", Mistake::TooBig, "CIRCLE 100 100 50 7", "色"},
        MistakeRow{"TEXT below 10", "TEXT 0 5 1 HI", Mistake::TextTooLow, "TEXT 0 10 1 HI", "下へ 10 ドット"},
        MistakeRow{"missing two", "CIRCLE 100 100", Mistake::Missing, nullptr, "半径、色"},
        MistakeRow{"TEXT without its text", "TEXT 10 20 1", Mistake::Missing, nullptr, "文字"},
        MistakeRow{"missing, with the form", "ARC 100 100 50", Mistake::Missing, nullptr, "ARC x y 半径 開始角 終了角 色"}));

TEST(ExplainLineTest, CleanLinesHaveNone) {
    for (const char* line : {"LINE 0 0 640 480 7", "REM ＣＩＲＣＬＥ", "END", "TEXT 10 20 1 ＬＩＮＥ　１", "paint 5 5 2 0"})
        EXPECT_FALSE(ExplainLine(Bytes(line))) << line;
}

TEST(ExplainLineTest, NeverSuggestsTheWordTypedAndNeverBlames) {
    // Every statement word with each one-letter slip, and each word as typed
    // before a bad number: whatever the advice, it never offers the line's
    // own word back, and it uses none of the words that blame.
    for (const StatementForm& f : kStatements) {
        const std::string word(f.word);
        for (const std::string& line : {word + "X 1 2 3 4 5 6", word.substr(1) + " 1 2 3 4 5 6", word + " A B C D E F"}) {
            const std::optional<Advice> advice = ExplainLine(line);
            if (!advice) continue;
            const std::string text = Utf8(advice->explanation);
            const std::string typed = line.substr(0, line.find(' '));
            if (advice->mistake == Mistake::Misspelt) EXPECT_EQ(text.find("「" + typed + "」と書きます"), std::string::npos) << line;
            for (const char* blame : {"間違", "不正", "無効", "エラー", "ダメ"}) EXPECT_EQ(text.find(blame), std::string::npos) << text;
        }
    }
}

TEST(EditDistanceTest, CountsATranspositionAsOneEdit) {
    EXPECT_EQ(EditDistance("CIRCEL", "CIRCLE"), 1);
    EXPECT_EQ(EditDistance("LIEN", "LINE"), 1);
    EXPECT_EQ(EditDistance("BX", "BOX"), 1);
    EXPECT_EQ(EditDistance("", "END"), 3);
    EXPECT_EQ(EditDistance("KITTEN", "SITTING"), 3);
    EXPECT_EQ(AllowedDistance(1), 0);
    EXPECT_EQ(AllowedDistance(4), 1);
    EXPECT_EQ(AllowedDistance(5), 2);
    EXPECT_EQ(AllowedDistance(9), 3);
}

struct WarningRow {
    const char* intent;
    const char* line;
    std::vector<WarningKind> kinds;
    const char* mentions;
};
void PrintTo(const WarningRow& r, std::ostream* os) { *os << r.intent; }

class LineWarningsTest : public ::testing::TestWithParam<WarningRow> {};

TEST_P(LineWarningsTest, NameWhatTheDrawingWillNotShow) {
    const WarningRow& r = GetParam();
    const std::vector<Warning> warnings = LineWarnings(Bytes(r.line));
    std::vector<WarningKind> kinds;
    std::string texts;
    for (const Warning& w : warnings) {
        kinds.push_back(w.kind);
        texts += Utf8(w.message) + "/" + Utf8(w.explanation);
    }
    EXPECT_EQ(kinds, r.kinds) << texts;
    EXPECT_NE(texts.find(r.mentions), std::string::npos) << texts;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LineWarningsTest,
    ::testing::Values(WarningRow{"a word beyond the colour", "LINE 1 2 3 4 5 6", {WarningKind::UnusedWords}, "「6」"},
                      WarningRow{"words beyond ARC's seventh", "ARC 100 100 50 0 90 1 2 3", {WarningKind::UnusedWords}, "「2 3」"},
                      WarningRow{"TEXT's fourth word", "TEXT 10 20 1 A B C D E", {WarningKind::UndrawnText}, "「D E」"},
                      WarningRow{"a LINE to its own start", "LINE 5 5 5 5 1", {WarningKind::EmptyLine}, "線は描かれません"},
                      WarningRow{"a BOX of one point", "BOX 9 9 9 9 2", {WarningKind::EmptyBox}, "四角"},
                      WarningRow{"a CIRCLE of radius 0", "CIRCLE 100 100 0 1", {WarningKind::EmptyCircle}, "半径が 0"},
                      WarningRow{"an ARC of equal angles", "ARC 100 100 50 90 90 1", {WarningKind::EmptyArc}, "近すぎる"},
                      WarningRow{"an ARC that runs backwards", "ARC 100 100 50 592 193 1", {WarningKind::EmptyArc}, "1 周以上手前"},
                      WarningRow{"both at once", "BOX 1 1 1 1 1 9", {WarningKind::UnusedWords, WarningKind::EmptyBox}, "「9」"},
                      WarningRow{"a flat BOX still draws", "BOX 1 1 1 50 1", {}, ""},
                      WarningRow{"TEXT's three words are drawn", "TEXT 10 20 1 A B C", {}, ""}));

// Each warning that says a shape draws nothing agrees with the drawing
// itself, and a shape without that warning draws something.
TEST(LineWarningsTest, AnEmptyShapeIsExactlyOneThatDrawsNothing) {
    std::mt19937 random(20261209);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    Picture picture;
    for (int i = 0; i < 3000; ++i) {
        const int kind = pick(0, 3);
        const int a = pick(200, 440), b = pick(100, 380), r = pick(0, 2) ? pick(0, 3) : pick(0, 99);
        const int s = pick(0, 721), e = pick(0, 2) ? s + pick(-1, 1) : pick(0, 721);
        const char* word[] = {"LINE", "BOX", "CIRCLE", "ARC"};
        std::string line = std::string(word[kind]) + ' ' + std::to_string(a) + ' ' + std::to_string(b) + ' ';
        if (kind < 2) line += std::to_string(a + (pick(0, 1) ? 0 : r)) + ' ' + std::to_string(b + (pick(0, 1) ? 0 : r)) + " 1";
        if (kind == 2) line += std::to_string(r) + " 1";
        if (kind == 3) line += std::to_string(r) + ' ' + std::to_string(s) + ' ' + std::to_string(std::clamp(e, 0, 721)) + " 1";
        const LineVerdict v = CheckLine(line);
        ASSERT_FALSE(v.args.error) << line;
        ClearPicture(picture);
        FormOf(v.kind)->draw(picture, v.args);
        bool drawn = false;
        for (int p = 0; p < Picture::kWidth * Picture::kHeight && !drawn; ++p) drawn = picture.Pixels()[p] != kWhite;
        const bool warned = !LineWarnings(line).empty();
        if (warned) EXPECT_FALSE(drawn) << line << " is said to draw nothing";
        EXPECT_EQ(warned, !drawn) << line;
    }
}

TEST(PaintOnBorderTest, TheRunNamesAFillThatStartsOnItsBorder) {
    Listing listing("CIRCLE 100 100 50 2\r\nPAINT 150 100 4 2\r\nPAINT 100 100 4 2\r\nBOX 0 0 9 9 0\r\nPAINT24 0 0 9 9 9");
    Picture picture;
    const RunResult result = RunProgram(listing, picture);
    EXPECT_EQ(result.paintsOnBorder, (std::vector<int>{2, 5}));
    const RunFindings run{result.paintsOnBorder, listing};
    const std::vector<Problem> problems = ListProblems(Listing("CIRCLE 100 100 50 2\r\npaint 150 100 4 2"), &run);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 2);
    EXPECT_FALSE(problems[0].error);
    EXPECT_NE(Utf8(problems[0].explanation).find("赤"), std::string::npos);
    // An edit of the line ends the run's warning.
    EXPECT_TRUE(ListProblems(Listing("CIRCLE 100 100 50 2\r\nPAINT 150 100 4 3"), &run).empty());
}

TEST(ListProblemsTest, ListsEveryLineAsTheLiveChecksDo) {
    // Typed lines and run lines differ by the empty line; nothing after END.
    const Listing listing(Bytes("CIRCEL 1 1 1 1\r\n\r\nLINE 1 1 1 1 1 3\r\nBOX 1 2\r\nEND\r\nFOO"));
    const std::vector<Problem> problems = ListProblems(listing);
    ASSERT_EQ(problems.size(), 4u);
    EXPECT_EQ(problems[0].line, 1);
    EXPECT_TRUE(problems[0].error);
    EXPECT_EQ(Utf8(problems[0].message), "  1行：命令の間違い");
    EXPECT_EQ(problems[0].fix, std::optional<std::string>("CIRCLE 1 1 1 1"));
    EXPECT_EQ(problems[1].line, 3);
    EXPECT_EQ(problems[1].runLine, 2);
    EXPECT_FALSE(problems[1].error);
    EXPECT_EQ(problems[2].line, 3);
    EXPECT_EQ(problems[3].line, 4);
    EXPECT_EQ(Utf8(problems[3].message), "  3行：設定値が足りません");
    EXPECT_EQ(Utf8(ProblemTip(problems[0])),
              "  1行：命令の間違い\n「CIRCEL」という命令はありません。CIRCLE のことなら、「CIRCLE」と書きます。\n直す: CIRCLE 1 1 1 1");
}

}  // namespace
}  // namespace kuv
