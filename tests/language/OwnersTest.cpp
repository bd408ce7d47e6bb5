// Which line painted each pixel: the record follows exactly the pixels each
// statement paints, whatever colour they had before.
#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace kuv {
namespace {

// Runs the listing (lines separated by '\n') into a recording picture.
Picture RunRecording(const std::string& lines) {
    std::string text;
    for (char c : lines) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    Listing listing(text);
    Picture picture;
    picture.RecordOwners();
    RunProgram(listing, picture);
    return picture;
}

struct OwnRow {
    const char* intent;
    const char* listing;  // its last line is the statement under test, drawn on white
};
void PrintTo(const OwnRow& r, std::ostream* os) { *os << r.intent; }

class OwnersTest : public ::testing::TestWithParam<OwnRow> {};

// On a cleared picture a statement that draws in a colour other than white
// changes exactly the pixels it paints.
TEST_P(OwnersTest, TheLastStatementOwnsExactlyThePixelsItChanged) {
    const std::string listing = GetParam().listing;
    const Owner last = static_cast<Owner>(std::count(listing.begin(), listing.end(), '\n') + 1);
    const Picture before = RunRecording(listing.substr(0, listing.rfind('\n') + 1) + "REM");
    const Picture after = RunRecording(listing);
    int changed = 0, owned = 0, wrong = 0;
    for (int row = 0; row < Picture::kHeight; ++row)
        for (int x = 0; x < Picture::kWidth; ++x) {
            const bool isChanged = before.At(x, row) != after.At(x, row);
            const bool isOwned = after.OwnerAt(x, row) == last;
            changed += isChanged;
            owned += isOwned;
            wrong += isChanged != isOwned;
        }
    EXPECT_GT(changed, 0);
    EXPECT_EQ(owned, changed);
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, OwnersTest,
    ::testing::Values(OwnRow{"LINE", "LINE 10 10 300 200 2"}, OwnRow{"BOX", "BOX 20 20 200 100 1"},
                      OwnRow{"CIRCLE reaching past the edges", "CIRCLE 600 30 100 4"},
                      OwnRow{"ARC", "ARC 320 240 100 30 300 3"},
                      OwnRow{"PAINT inside a box", "BOX 100 100 200 200 1\nPAINT 150 150 6 1"},
                      OwnRow{"PAINT24 inside a box", "BOX 100 100 200 200 0\nPAINT24 150 150 10 20 30"},
                      OwnRow{"TEXT", "TEXT 50 400 2 かな ABC"}));

TEST(Owners, AFillOwnsThePixelsItCrossesInItsOwnColour) {
    const Picture p = RunRecording("BOX 100 100 200 200 0\nLINE 120 150 180 150 6\nPAINT 150 150 6 0");
    EXPECT_EQ(p.OwnerAt(150, 480 - 150), 3u);  // on the yellow line, painted yellow again
    EXPECT_EQ(p.OwnerAt(130, 480 - 130), 3u);
    EXPECT_EQ(p.OwnerAt(100, 480 - 150), 1u);  // the border
    EXPECT_EQ(p.OwnerAt(50, 480 - 50), 0u);    // outside
}

TEST(Owners, TheLaterLineWins) {
    const Picture p = RunRecording("LINE 0 0 100 0 1\nLINE 50 0 150 0 2");
    EXPECT_EQ(p.OwnerAt(10, 480), 1u);
    EXPECT_EQ(p.OwnerAt(60, 480), 2u);
    EXPECT_EQ(p.OwnerAt(120, 480), 2u);
}

TEST(Owners, ClearingForgetsThemAndNothingIsKeptUntilAsked) {
    Picture p = RunRecording("LINE 0 0 100 0 1");
    Listing next("REM\r\n");
    RunProgram(next, p);
    EXPECT_EQ(p.OwnerAt(10, 480), 0u);
    Picture plain;
    Listing l("LINE 0 0 100 0 1\r\n");
    RunProgram(l, plain);
    EXPECT_TRUE(plain.Owners().empty());
}

}  // namespace
}  // namespace kuv
