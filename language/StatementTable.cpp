// The one table of statements.
#include "Cp932.h"
#include "Statements.h"
#include "picture/Drawing.h"

namespace kuv {
namespace {

void RunLine(Picture& p, const TStatementArgs& a) { DrawLine(p, a.Nums[0], a.Nums[1], a.Nums[2], a.Nums[3], a.Nums[4]); }
void RunBox(Picture& p, const TStatementArgs& a) { DrawBox(p, a.Nums[0], a.Nums[1], a.Nums[2], a.Nums[3], a.Nums[4]); }
void RunCircle(Picture& p, const TStatementArgs& a) { DrawCircle(p, a.Nums[0], a.Nums[1], a.Nums[2], a.Nums[3]); }
void RunArc(Picture& p, const TStatementArgs& a) {
    DrawArc(p, a.Nums[0], a.Nums[1], a.Nums[2], a.Nums[3], a.Nums[4], a.Nums[5]);
}
void RunPaint(Picture& p, const TStatementArgs& a) { PaintArea(p, a.Nums[0], a.Nums[1], a.Nums[2], a.Nums[3]); }
void RunPaint24(Picture& p, const TStatementArgs& a) {
    PaintArea24(p, a.Nums[0], a.Nums[1], a.Nums[2], a.Nums[3], a.Nums[4]);
}
void RunText(Picture& p, const TStatementArgs& a) {
    DrawString(p, a.Nums[0], a.Nums[1], a.Nums[2], DecodeCp932(a.Text));
}

constexpr Parameter kX{"x", 0, 640}, kY{"y", 0, 480};
constexpr Parameter kX1{"x1", 0, 640}, kY1{"y1", 0, 480}, kX2{"x2", 0, 640}, kY2{"y2", 0, 480};
constexpr Parameter kColour{"色", 0, 7, true};
constexpr Parameter kRadius{"半径", 0, 320};
// 721, not 720: end angles one past a full turn have always been accepted.
constexpr Parameter kStart{"開始角", 0, 721}, kEnd{"終了角", 0, 721};
constexpr Parameter kFill{"塗る色", 0, 7, true}, kBorder{"境界色", 0, 7, true};
constexpr Parameter kBlue{"青", 0, 255}, kGreen{"緑", 0, 255}, kRed{"赤", 0, 255};
// A text's top edge must leave room for its cell above the bottom edge.
constexpr Parameter kTextY{"y", 10, 480};

}  // namespace

const std::array<StatementForm, 9> kStatements = {{
    {skLine, "LINE", "LINE ", {kX1, kY1, kX2, kY2, kColour}, 5, 5, true, {}, RunLine, "線"},
    {skBox, "BOX", "BOX ", {kX1, kY1, kX2, kY2, kColour}, 5, 5, true, {}, RunBox, "四角"},
    {skCircle, "CIRCLE", "CIRCLE ", {kX, kY, kRadius, kColour}, 4, 4, false, {}, RunCircle, "円"},
    {skArc, "ARC", "ARC ", {kX, kY, kRadius, kStart, kEnd, kColour}, 6, 6, false, {}, RunArc, "弧"},
    {skPaint, "PAINT", "PAINT ", {kX, kY, kFill, kBorder}, 4, 4, false, {}, RunPaint, "塗り"},
    {skRem, "REM", "REM", {}, 0, 0, false, "コメント", nullptr, {}},
    {skEnd, "END", "END", {}, 0, 0, false, {}, nullptr, {}},
    {skPaint24, "PAINT24", "PAINT24 ", {kX, kY, kBlue, kGreen, kRed}, 5, 5, false, {}, RunPaint24, "塗り (24ビット)"},
    {skText, "TEXT", "TEXT ", {kX, kTextY, kColour}, 3, 4, false, "文字", RunText, "文字"},
}};

const StatementForm* FormOf(StatementKind kind) {
    return kind >= skLine && kind <= skText ? &kStatements[static_cast<std::size_t>(kind) - 1] : nullptr;
}

}  // namespace kuv
