#include "language/Cp932.h"
#include "language/Runner.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"
#include "support/PictureArt.h"

#include <gtest/gtest.h>

namespace kuv {
namespace {

using test::CountPixels;

// Listings are written here in UTF-8 with '\n'; the editor holds CP932 with CR LF.
std::string EditorText(const std::string& utf8) {
    std::string out;
    for (char c : utf8) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
    return Utf8ToCp932(out);
}

struct RunRow {
    const char* intent;
    std::string listing;
    std::string rewritten;   // the editor's text afterwards
    std::string errorLine;   // UTF-8; "" when the run meets no error
    bool errorLogReset;      // the run reached the ErrorLog's clearing step
    bool cleared;            // the Picture was cleared (it starts filled black here)
    bool touched;            // the editor was edited
};

void PrintTo(const RunRow& row, std::ostream* os) { *os << row.intent; }

const RunRow kRunRows[] = {
    {"the editor's first text", "REM\nEND\n", "REM\nEND\n", "", true, true, true},
    {"END first leaves the picture", "END\nLINE 1 1 9 9 0\n", "END\nLINE 1 1 9 9 0\n", "", true, false, true},
    {"ENDX first leaves the picture", "ENDX\n", "ENDX\n", "", true, false, true},
    {"a lone line break stops at once", "\n", "\n", "", false, false, false},
    {"an empty listing", "", "", "", true, false, false},
    {"empty lines go, case goes up", "\n\nline 10 10 20 20 1\n\n", "LINE 10 10 20 20 1\n", "", true, true, true},
    {"spaces around a comment", "  REM x\n", "REM X\n", "", true, true, true},
    {"a line of spaces becomes empty and is an error", "REM\n   \nEND\n", "REM\n\nEND\n",
     "  2行：命令の間違い", true, true, true},
    {"only spaces on line 1 stops after clearing the log", "   \nLINE 1 1 2 2 0\n", "\nLINE 1 1 2 2 0\n", "", true,
     false, true},
    {"no END runs to the last line", "LINE 1 1 2 2 0", "LINE 1 1 2 2 0", "", true, true, true},
    {"missing parameter on line 5", "REM\nREM\nREM\nREM\nCIRCLE 100 100\n", "REM\nREM\nREM\nREM\nCIRCLE 100 100\n",
     "  5行：設定値が足りません", true, true, true},
    {"no space after the keyword", "LINE1 2 3 4 5\n", "LINE1 2 3 4 5\n", "  1行：命令の間違い", true, true, true},
    {"errors after END are never seen", "REM\nEND\nFOO\n", "REM\nEND\nFOO\n", "", true, true, true},
    {"END in the middle stops the run", "LINE 0 0 10 0 0\nENDING\nLINE 0 5 10 5 0\n",
     "LINE 0 0 10 0 0\nENDING\nLINE 0 5 10 5 0\n", "", true, true, true},
    {"numbers follow the rewritten listing", "\n\nREM\n\nBAD\n", "REM\nBAD\n", "  2行：命令の間違い", true, true,
     true},
    {"Japanese text stays as it is", "text 10 100 0 あいう\n", "TEXT 10 100 0 あいう\n", "", true, true, true},
    {"a last line of spaces without a break is emptied, then no longer counted", "REM\n ", "REM\n", "", true,
     true, true},
};

class RunProgramTest : public ::testing::TestWithParam<RunRow> {};

TEST_P(RunProgramTest, RewritesRunsAndReports) {
    const RunRow& row = GetParam();
    Listing listing(EditorText(row.listing));
    Picture picture;
    picture.FillRect(0, 0, Picture::kWidth, Picture::kHeight, kBlack);
    const RunResult result = RunProgram(listing, picture);
    EXPECT_EQ(listing.Text(), EditorText(row.rewritten)) << row.intent;
    EXPECT_EQ(Cp932ToUtf8(result.errorLine), row.errorLine) << row.intent;
    EXPECT_EQ(result.errorLogReset, row.errorLogReset) << row.intent;
    EXPECT_EQ(picture.At(600, 20) == kWhite, row.cleared) << row.intent;
    EXPECT_EQ(listing.Touched(), row.touched) << row.intent;
}

INSTANTIATE_TEST_SUITE_P(Rows, RunProgramTest, ::testing::ValuesIn(kRunRows));

TEST(RunProgram, KeepsWhatWasDrawnBeforeTheError) {
    Listing listing(EditorText("LINE 0 0 10 0 2\nCIRCLE 100 100\nLINE 0 5 10 5 2\n"));
    Picture picture;
    const RunResult result = RunProgram(listing, picture);
    EXPECT_EQ(Cp932ToUtf8(result.errorLine), "  2行：設定値が足りません");
    EXPECT_EQ(CountPixels(picture, PixelFromColorRef(ColorTable[2])), 10);
}

TEST(RunProgram, CutsLongLinesTo255Bytes) {
    const std::string longRem = "REM " + std::string(300, 'x');
    Listing listing(EditorText(longRem + "\nEND\n"));
    Picture picture;
    RunProgram(listing, picture);
    EXPECT_EQ(listing.Get(0), "REM " + std::string(251, 'X'));
}

TEST(RunProgram, ReportsLineNumbersPast999WithoutPadding) {
    std::string text;
    for (int i = 0; i < 999; ++i) text += "REM\n";
    Listing listing(EditorText(text + "OOPS\n"));
    Picture picture;
    const RunResult result = RunProgram(listing, picture);
    EXPECT_EQ(Cp932ToUtf8(result.errorLine), "1000行：命令の間違い");
    EXPECT_EQ(result.error->line, 1000);
}

TEST(RunProgram, DrawsEveryStatementKind) {
    Listing listing(EditorText(
        "BOX 10 10 100 100 0\nPAINT 50 50 6 0\nPAINT24 200 50 0 255 0\nCIRCLE 300 300 40 1\n"
        "ARC 500 300 40 0 180 2\nLINE 0 200 100 200 3\nTEXT 400 100 4 KUV\n"));
    Picture picture;
    const RunResult result = RunProgram(listing, picture);
    ASSERT_EQ(result.errorLine, "");
    EXPECT_EQ(picture.At(50, 480 - 50), PixelFromColorRef(ColorTable[6]));
    EXPECT_GT(CountPixels(picture, PixelFromColorRef(ColorTable[1])), 200);
    EXPECT_GT(CountPixels(picture, PixelFromColorRef(ColorTable[2])), 100);
    EXPECT_EQ(CountPixels(picture, PixelFromColorRef(ColorTable[3])), 100);
    EXPECT_EQ(picture.At(200, 480 - 50), PixelFromColorRef(0x00FF00));  // green 255: the rest of the page
    EXPECT_GT(CountPixels(picture, PixelFromColorRef(ColorTable[4])), 10);
}

}  // namespace
}  // namespace kuv

namespace kuv {
namespace {

// Input that must neither crash nor hang a run.
TEST(RunProgramBadInput, LineOf100000Bytes) {
    Listing listing("LINE 1 2 3 4 5 " + std::string(100000, '9') + "\r\nEND\r\n");
    Picture picture;
    EXPECT_EQ(RunProgram(listing, picture).errorLine, "");
    EXPECT_EQ(listing.Get(0).size(), 255u);
}

TEST(RunProgramBadInput, AMillionLines) {
    std::string text;
    for (int i = 0; i < 500000; ++i) text += "\r\nrem\r\n";
    Listing listing(text + "line 0 0 10 10 1\r\n");
    Picture picture;
    EXPECT_EQ(RunProgram(listing, picture).errorLine, "");
    EXPECT_EQ(listing.Count(), 500001);
    EXPECT_EQ(listing.Get(500000), "LINE 0 0 10 10 1");
}

TEST(RunProgramBadInput, BinaryBytes) {
    std::string bytes;
    for (int i = 0; i < 4096; ++i) bytes += static_cast<char>((i * 7919) & 0xFF);
    Listing listing(bytes);
    Picture picture;
    const RunResult result = RunProgram(listing, picture);
    EXPECT_TRUE(result.errorLogReset);
}

TEST(RunProgramBadInput, DoubleByteCharactersAreNeverSplitOrUpperCased) {
    // 0x83 0x61 is a katakana whose second byte is 'a'; 300 bytes of them.
    std::string kana;
    for (int i = 0; i < 150; ++i) kana += "\x83\x61";
    Listing listing("REM" + kana + "\r\n");
    Picture picture;
    RunProgram(listing, picture);
    EXPECT_EQ(listing.Get(0), "REM" + kana.substr(0, 252));  // 3 + 126 characters
}

// The live checks: each line's message as Run would give it, were it the
// first error; "" for a clean line and a line a run never reaches.
struct CheckRow {
    const char* intent;
    std::string listing;
    std::vector<std::string> messages;  // UTF-8 ErrorLog lines, line by line
};

void PrintTo(const CheckRow& row, std::ostream* os) { *os << row.intent; }

const CheckRow kCheckRows[] = {
    {"every faulty line, numbered after the rewrite", "LINE 1 1\n\nbox 0 0 641 0 1\noops\n",
     {"  1行：設定値が足りません", "", "  2行：\"641\"は範囲外の数字です", "  3行：命令の間違い"}},
    {"a line of spaces is unknown, and after END nothing counts", "REM\n   \nEND\noops\n",
     {"", "  2行：命令の間違い", "", ""}},
    {"a blank first line ends the run before it starts", "   \noops\n", {"", ""}},
    {"a last line of spaces without a break is gone", "REM\n  ", {"", ""}},
    {"only the first 255 bytes count", "REM\nLINE 1 1 1 1" + std::string(243, ' ') + "1\n", {"", "  2行：設定値が足りません"}},
    {"a message is cut at 255 bytes", "REM\nLINE 1 1 1 1 " + std::string(241, '7') + "\n",
     {"", "  2行：\"" + std::string(241, '7') + "\"は数字ではあ"}},
};

class CheckListingTest : public ::testing::TestWithParam<CheckRow> {};

TEST_P(CheckListingTest, GivesEachLineRunsMessage) {
    const CheckRow& row = GetParam();
    const Listing listing(EditorText(row.listing));
    const std::vector<LineCheck> checks = CheckListing(listing);
    ASSERT_EQ(checks.size(), row.messages.size()) << row.intent;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const LineCheck& c = checks[i];
        const std::string message =
            c.reached && c.verdict.args.error ? Cp932ToUtf8(ErrorLogLine(c.number, c.verdict.args.Msg)) : "";
        EXPECT_EQ(message, row.messages[i]) << row.intent << ", line " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CheckListingTest, ::testing::ValuesIn(kCheckRows));

}  // namespace
}  // namespace kuv
