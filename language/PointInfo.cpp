#include "PointInfo.h"

#include "Cp932.h"
#include "Statements.h"
#include "picture/Drawing.h"

#include <algorithm>

namespace kuv {
namespace {

std::u16string Ascii(const std::string& s) { return std::u16string(s.begin(), s.end()); }

}  // namespace

std::u16string DescribePoint(const Picture& picture, int x, int y, const Listing* paintedBy) {
    const int row = Picture::RowOf(y);
    const ColorRef colour = ColorRefFromPixel(picture.At(x, row));
    std::u16string text = u"x ";
    text += Ascii(std::to_string(x));
    text += u"  y ";
    text += Ascii(std::to_string(y));
    text += u"  ";
    const auto named = std::find(ColorTable.begin(), ColorTable.end(), colour);
    if (named != ColorTable.end()) {
        const auto n = static_cast<std::size_t>(named - ColorTable.begin());
        text += u"色 ";
        text += Ascii(std::to_string(n));
        text += u" (";
        text += Utf8ToUtf16(ColorNames[n]);
        text += u")";
    } else {
        for (const auto& [name, value] : {std::pair{u"青 ", colour >> 16 & 0xFF}, {u" 緑 ", colour >> 8 & 0xFF}, {u" 赤 ", colour & 0xFF}}) {
            text += name;
            text += Ascii(std::to_string(value));
        }
    }
    const Owner line = paintedBy ? picture.OwnerAt(x, row) : 0;
    if (line != 0 && static_cast<int>(line) <= paintedBy->Count()) {
        text += u"\n";
        const std::string_view owning = paintedBy->Get(static_cast<int>(line) - 1);
        text += Ascii(std::to_string(line));
        text += u"行";
        // The shape it drew, for those who cannot see it.
        if (const StatementForm* form = FormOf(ClassifyStatement(owning)); form && !form->shape.empty())
            text += u" " + Utf8ToUtf16(form->shape);
        text += u": ";
        text += DecodeCp932(owning);
    }
    return text;
}

}  // namespace kuv
