// The words for a point of the Picture, as every front-end shows them.
#include "language/Listing.h"
#include "language/PointInfo.h"
#include "language/Runner.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

namespace kuv {
namespace {

struct PointRow {
    const char* intent;
    bool ownersKnown;  // the Picture records owners and its listing is given
    int x, y;
    std::u16string words;
};
void PrintTo(const PointRow& r, std::ostream* os) { *os << r.intent; }

class PointInfoTest : public ::testing::TestWithParam<PointRow> {};

TEST_P(PointInfoTest, DescribesTheColourAndTheLineThatPaintedIt) {
    const PointRow& row = GetParam();
    Listing listing(std::string("REM \x82\xa0\r\nBOX 10 10 20 20 0\r\nPAINT24 15 15 1 2 3\r\nEND\r\n"));
    Picture picture;
    if (row.ownersKnown) picture.RecordOwners();
    RunProgram(listing, picture);
    EXPECT_EQ(DescribePoint(picture, row.x, row.y, row.ownersKnown ? &listing : nullptr), row.words);
}

INSTANTIATE_TEST_SUITE_P(
    Points, PointInfoTest,
    ::testing::Values(
        PointRow{"a colour of the table, by number and name, and its line", true, 10, 15, u"x 10  y 15  色 0 (黒)\n2行 四角: BOX 10 10 20 20 0"},
        PointRow{"a colour outside the table, as blue, green and red", true, 15, 15, u"x 15  y 15  青 1 緑 2 赤 3\n3行 塗り (24ビット): PAINT24 15 15 1 2 3"},
        PointRow{"a pixel that no line painted names no line", true, 300, 300, u"x 300  y 300  色 7 (白)"},
        PointRow{"without owners, the colour alone", false, 10, 15, u"x 10  y 15  色 0 (黒)"}),
    [](const ::testing::TestParamInfo<PointRow>& info) { return "Row" + std::to_string(info.index); });

}  // namespace
}  // namespace kuv
