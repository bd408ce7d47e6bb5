#include "picture/Drawing.h"
#include "support/PictureArt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace kuv {
namespace {

using test::Art;
using test::CountPixels;
using test::Rows_;

const Pixel kBlue = PixelFromColorRef(ColorTable[1]);
const Pixel kRed = PixelFromColorRef(ColorTable[2]);
const Pixel kYellow = PixelFromColorRef(ColorTable[6]);

TEST(ColorTable, HoldsTheEightColoursAsBlueGreenRed) {
    EXPECT_EQ(PixelFromColorRef(ColorTable[1]), 0xFF0000FFu);  // blue
    EXPECT_EQ(PixelFromColorRef(ColorTable[2]), 0xFFFF0000u);  // red
    EXPECT_EQ(PixelFromColorRef(ColorTable[5]), 0xFF0080FFu);  // sky blue: green 128, blue 255
    EXPECT_EQ(ColorRefFromPixel(PixelFromColorRef(0x123456)), 0x123456u);
}

TEST(LineTo, LeavesOutTheEndPoint) {
    Picture p;
    p.MoveTo(1, 1);
    p.LineTo(6, 3, kBlack);
    EXPECT_EQ(Art(p, 0, 0, 8, 5), Rows_("........",
                                        ".##.....",
                                        "...##...",
                                        ".....#..",
                                        "........"));
}

TEST(LineTo, OfZeroLengthPaintsNothing) {
    Picture p;
    p.MoveTo(5, 5);
    p.LineTo(5, 5, kBlack);
    EXPECT_EQ(CountPixels(p, kBlack), 0);
}

TEST(LineTo, SkipsPixelsOffThePicture) {
    Picture p;
    p.MoveTo(-5, 2);
    p.LineTo(3, 2, kBlack);
    EXPECT_EQ(Art(p, 0, 1, 5, 3), Rows_(".....", "###..", "....."));
}

TEST(DrawLine, RunsFromBottomLeftAndStopsShortOfTheCorner) {
    Picture p;
    DrawLine(p, 0, 0, 640, 480, 2);
    EXPECT_EQ(p.At(0, 480), kRed);
    EXPECT_EQ(p.At(639, 1), kRed);
    EXPECT_EQ(p.At(640, 0), kWhite);
    EXPECT_EQ(CountPixels(p, kRed), 640);
}

TEST(DrawBox, DrawsAClosedOutline) {
    Picture p;
    DrawBox(p, 1, 479, 5, 477, 0);
    EXPECT_EQ(Art(p, 0, 0, 7, 5), Rows_(".......",
                                        ".#####.",
                                        ".#...#.",
                                        ".#####.",
                                        "......."));
}

TEST(DrawBox, OfOnePointPaintsNothing) {
    Picture p;
    DrawBox(p, 100, 100, 100, 100, 0);
    EXPECT_EQ(CountPixels(p, kBlack), 0);
}

TEST(PaintArea, FillsInsideAndStopsAtTheBorder) {
    Picture p;
    DrawBox(p, 1, 479, 5, 476, 1);
    PaintArea(p, 3, 478, 6, 1);
    EXPECT_EQ(Art(p, 0, 0, 7, 6), Rows_(".......",
                                        ".bbbbb.",
                                        ".byyyb.",
                                        ".byyyb.",
                                        ".bbbbb.",
                                        "......."));
}

TEST(PaintArea, SpreadsOverEverythingWhenTheBorderDoesNotEnclose) {
    Picture p;
    DrawBox(p, 1, 479, 5, 476, 1);
    PaintArea(p, 3, 478, 6, 0);  // black border: the blue box is no barrier
    EXPECT_EQ(CountPixels(p, kYellow), Picture::kWidth * Picture::kHeight);
}

TEST(PaintArea, StartedOnTheBorderColourPaintsNothing) {
    Picture p;
    DrawBox(p, 1, 479, 5, 476, 1);
    PaintArea(p, 1, 479, 6, 1);
    EXPECT_EQ(CountPixels(p, kYellow), 0);
}

TEST(PaintArea, IsFourConnected) {
    // A diagonal of border pixels is a wall for the fill.
    Picture p;
    DrawBox(p, 0, 480, 6, 474, 0);
    p.MoveTo(1, 5);
    p.LineTo(6, 0, kBlack);
    PaintArea(p, 1, 479, 6, 0);
    EXPECT_EQ(Art(p, 0, 0, 7, 7), Rows_("#######",
                                        "#yyyy##",
                                        "#yyy#.#",
                                        "#yy#..#",
                                        "#y#...#",
                                        "##....#",
                                        "#######"));
}

TEST(PaintArea, CrossesPixelsThatAlreadyHaveTheFillColour) {
    Picture p;
    DrawBox(p, 0, 480, 8, 476, 0);
    p.MoveTo(4, 1);
    p.LineTo(4, 4, kYellow);  // a yellow wall inside the box
    PaintArea(p, 1, 478, 6, 0);
    EXPECT_EQ(Art(p, 0, 0, 9, 5), Rows_("#########",
                                        "#yyyyyyy#",
                                        "#yyyyyyy#",
                                        "#yyyyyyy#",
                                        "#########"));
}

TEST(PaintArea, EndsWhenTheAreaAlreadyHasTheFillColour) {
    Picture p;
    p.FillRect(0, 0, Picture::kWidth, Picture::kHeight, kYellow);
    PaintArea(p, 320, 240, 6, 0);
    EXPECT_EQ(CountPixels(p, kYellow), Picture::kWidth * Picture::kHeight);
}

TEST(PaintArea, FillsAComplicatedAreaLikeASimpleReference) {
    // A maze of spirals and holes against a pixel-by-pixel reference fill.
    Picture p;
    for (int i = 0; i < 60; ++i) DrawCircle(p, 320, 240, i * 5, i % 10 == 0 ? 0 : 1);
    for (int i = 0; i < 4; ++i) DrawLine(p, i * 160, 0, 640 - i * 160, 480, 0);
    Picture reference = p;
    PaintArea(p, 395, 242, 3, 0);

    const Pixel fill = PixelFromColorRef(ColorTable[3]);
    std::vector<char> seen(Picture::kWidth * Picture::kHeight, 0);
    std::vector<std::pair<int, int>> stack{{395, 242}};
    while (!stack.empty()) {
        auto [x, row] = stack.back();
        stack.pop_back();
        if (!Picture::Contains(x, row) || seen[row * Picture::kWidth + x] || reference.At(x, row) == kBlack) continue;
        seen[row * Picture::kWidth + x] = 1;
        reference.Pixels()[row * Picture::kWidth + x] = fill;
        stack.insert(stack.end(), {{x + 1, row}, {x - 1, row}, {x, row + 1}, {x, row - 1}});
    }
    EXPECT_GT(CountPixels(p, fill), 1000);
    EXPECT_TRUE(std::equal(p.Pixels(), p.Pixels() + seen.size(), reference.Pixels()));
}

TEST(PaintArea24, IsBoundedByBlackOnly) {
    Picture p;
    DrawBox(p, 1, 479, 5, 476, 1);
    DrawBox(p, 10, 479, 14, 476, 0);
    PaintArea24(p, 12, 478, 255, 0, 0);  // blue 255: pure blue
    EXPECT_EQ(Art(p, 9, 1, 6, 4), Rows_(".#####", ".#bbb#", ".#bbb#", ".#####"));
    PaintArea24(p, 3, 478, 0, 0, 255);  // red 255, spreads past the blue box
    EXPECT_EQ(p.At(3, 2), kRed);
    EXPECT_EQ(p.At(600, 400), kRed);
    EXPECT_EQ(p.At(12, 2), kBlue);
}

TEST(RoundHalfEven, SendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(2.5L), 2.0L);
    EXPECT_EQ(RoundHalfEven(3.5L), 4.0L);
    EXPECT_EQ(RoundHalfEven(-0.5L), 0.0L);
    EXPECT_EQ(RoundHalfEven(78.5L), 78.0L);
}

TEST(RoundHalfEven, AgreesWithNearbyintEverywhereTheWalksGo) {
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> half(-2000, 2000);
    std::uniform_real_distribution<long double> any(-1000.0L, 1000.0L);
    for (int i = 0; i < 100000; ++i) {
        const long double v = i % 2 ? static_cast<long double>(half(rng)) / 2.0L : any(rng);
        ASSERT_EQ(RoundHalfEven(v), std::nearbyint(v)) << static_cast<double>(v);
    }
}

struct ArcRow {
    int s, e;
    long k0, k1;
};

void PrintTo(const ArcRow& row, std::ostream* os) { *os << row.s << " to " << row.e; }

class ArcStepsTest : public ::testing::TestWithParam<ArcRow> {};

TEST_P(ArcStepsTest, RoundsHalvesToEven) {
    const ArcSteps st = ArcStepRange(GetParam().s, GetParam().e);
    EXPECT_EQ(st.k0, GetParam().k0) << GetParam().s;
    EXPECT_EQ(st.k1, GetParam().k1) << GetParam().e;
}

INSTANTIATE_TEST_SUITE_P(Rows, ArcStepsTest,
                         ::testing::Values(ArcRow{45, 45, 78, 78}, ArcRow{135, 135, 236, 236},
                                           ArcRow{225, 225, 392, 392}, ArcRow{315, 315, 550, 550},
                                           ArcRow{405, 405, 706, 706}, ArcRow{495, 495, 864, 864},
                                           ArcRow{585, 585, 1020, 1020}, ArcRow{675, 675, 1178, 1178},
                                           ArcRow{0, 90, 0, 157}, ArcRow{270, 90, 471, 785},
                                           ArcRow{0, 360, 0, 628}, ArcRow{0, 721, 0, 1258},
                                           ArcRow{721, 0, 1258, 628}, ArcRow{721, 720, 1258, 1884}));

TEST(DrawArc, OfEqualAnglesPaintsNothing) {
    Picture p;
    DrawArc(p, 320, 240, 100, 30, 30, 1);
    EXPECT_EQ(CountPixels(p, kBlue), 0);
}

TEST(DrawArc, ZeroToNinetyIsTheUpperRightQuarter) {
    Picture p;
    DrawArc(p, 320, 240, 100, 0, 90, 1);
    int n = 0;
    for (int row = 0; row < Picture::kHeight; ++row)
        for (int x = 0; x < Picture::kWidth; ++x)
            if (p.At(x, row) == kBlue) {
                ++n;
                EXPECT_GE(x, 320);
                EXPECT_LE(row, 240);
            }
    EXPECT_GT(n, 100);
    EXPECT_EQ(p.At(420, 240), kBlue);  // angle 0: the rightmost point
    EXPECT_EQ(p.At(320, 140), kWhite); // angle 90 is the end point, left out
}

TEST(DrawCircle, OfRadiusZeroPaintsNothing) {
    Picture p;
    DrawCircle(p, 320, 240, 0, 1);
    EXPECT_EQ(CountPixels(p, kBlue), 0);
}

TEST(DrawCircle, LiesOnItsRadius) {
    Picture p;
    DrawCircle(p, 320, 240, 100, 1);
    for (int row = 0; row < Picture::kHeight; ++row)
        for (int x = 0; x < Picture::kWidth; ++x)
            if (p.At(x, row) == kBlue) {
                EXPECT_NEAR(std::hypot(x - 320, row - 240), 100.0, 1.0);
            }
    EXPECT_EQ(p.At(420, 240), kBlue);
    EXPECT_EQ(p.At(320, 340), kBlue);
}

TEST(DrawCircle, FromRadius157EndsOneRowAboveItsStart) {
    // The last of the 629 steps stops short of a full turn; for large radii
    // it leaves the pixel above the start unpainted.
    Picture small, large;
    DrawCircle(small, 320, 240, 156, 1);
    DrawCircle(large, 320, 240, 157, 1);
    EXPECT_EQ(small.At(320 + 156, 240 - 1), kBlue);
    EXPECT_EQ(large.At(320 + 157, 240 - 1), kWhite);
    EXPECT_EQ(large.At(320 + 157, 240), kBlue);
    EXPECT_EQ(large.At(320 + 157, 240 - 2), kBlue);
}

TEST(DrawCircle, MayReachPastTheEdges) {
    Picture p;
    DrawCircle(p, 640, 480, 320, 2);
    EXPECT_EQ(p.At(320, 0), kRed);  // the leftmost point, on the top row
    EXPECT_GT(CountPixels(p, kRed), 400);
}

TEST(DrawString, UsesOnlyItsColourAndKeepsTheBackground) {
    Picture p;
    p.FillRect(0, 0, Picture::kWidth, Picture::kHeight, kYellow);
    DrawString(p, 100, 400, 1, u"Hello 漢字");
    const int blue = CountPixels(p, kBlue);
    EXPECT_GT(blue, 50);
    EXPECT_EQ(blue + CountPixels(p, kYellow), Picture::kWidth * Picture::kHeight);
    // Everything lies right of x and below the top edge, within a cell or two.
    for (int row = 0; row < Picture::kHeight; ++row)
        for (int x = 0; x < Picture::kWidth; ++x)
            if (p.At(x, row) == kBlue) {
                EXPECT_GE(x, 100);
                EXPECT_GE(row, 80);
                EXPECT_LT(row, 80 + 2 * p.TextPixelSize());
            }
}

TEST(DrawString, LeavesTheNextFillSolid) {
    Picture p;
    DrawBox(p, 10, 470, 200, 300, 0);
    DrawString(p, 20, 460, 1, u"AB");
    PaintArea(p, 150, 350, 6, 0);
    EXPECT_EQ(p.At(150, 130), kYellow);
    EXPECT_EQ(CountPixels(p, kBlue), 0);  // the text's own pixels bound nothing: the fill covers them
}

}  // namespace
}  // namespace kuv
