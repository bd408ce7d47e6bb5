#include "Drawing.h"
#include "PictureImage.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace kuv {
namespace {

QFont MakeTextFont() {
    // The proportional Japanese face; IPAPGothic stands in where the
    // Windows face is not installed.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(Picture::TextPixelSize());
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// The font and its metrics once a thread (the batch draws on several):
// finding them again for every TEXT would cost about as much as drawing it.
const QFont& TextFont() {
    thread_local const QFont font = MakeTextFont();
    return font;
}

const QFontMetrics& Metrics() {
    thread_local const QFontMetrics metrics(TextFont());
    return metrics;
}

// A transparent image the size of the Picture with a painter kept open on
// it, one a thread (the batch draws on several): the glyphs of a TEXT whose
// pixels are to be owned are painted here first, then laid onto the
// Picture, and the mask is left transparent again.
class GlyphMask {
public:
    GlyphMask() : image_(Picture::kWidth, Picture::kHeight, QImage::Format_ARGB32_Premultiplied) {
        image_.fill(Qt::transparent);
        painter_.begin(&image_);
        painter_.setPen(Qt::black);
        painter_.setRenderHint(QPainter::TextAntialiasing, false);
        painter_.setFont(TextFont());
    }
    // Paints the text as DrawString would, and lays every pixel that it
    // painted within box onto the Picture in the colour, owned by the
    // current line. Glyphs do not reach past box.
    void Draw(Picture& p, QPoint baseline, const QString& text, const QRect& box, Pixel colour) {
        painter_.drawText(baseline, text);
        const Owner owner = p.CurrentOwner();
        uchar* const bits = image_.bits();
        for (int row = box.top(); row <= box.bottom(); ++row) {
            auto* glyphs = reinterpret_cast<QRgb*>(bits + static_cast<qsizetype>(row) * image_.bytesPerLine());
            const std::size_t start = static_cast<std::size_t>(row) * Picture::kWidth;
            Pixel* const pixels = p.Pixels() + start;
            Owner* const owners = p.OwnerData() + start;
            for (int col = box.left(); col <= box.right(); ++col) {
                if (glyphs[col] == 0) continue;
                glyphs[col] = 0;
                pixels[col] = colour;
                owners[col] = owner;
            }
        }
    }

private:
    QImage image_;
    QPainter painter_;
};

}  // namespace

int TextAdvance(std::u16string_view text) {
    return Metrics().horizontalAdvance(QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

void DrawString(Picture& p, int x, int y, int c, std::u16string_view text) {
    if (text.empty()) return;
    const QFont& font = TextFont();
    const QFontMetrics& metrics = Metrics();
    const QString string = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    const int top = Picture::RowOf(y);
    const QPoint baseline(x, top + metrics.ascent());
    const Pixel colour = PixelFromColorRef(ColorTable[c]);
    if (p.RecordsOwners()) {
        // Without antialiasing a pixel is either the glyph's or untouched, so
        // painting the mask's glyph pixels equals painting the Picture.
        // Every pixel the glyphs may reach: their cells, each as wide as the
        // character alone (a second layout of the whole text would cost as
        // much as drawing it) and a pixel more for kerning, and a margin for
        // ink that overhangs them.
        constexpr int kMargin = 4;
        int reach = 0;
        for (const QChar ch : string)
            reach += (ch.isSurrogate() ? Picture::TextPixelSize() : metrics.horizontalAdvance(ch)) + 1;
        const QRect box = QRect(x, top, reach, metrics.height()).adjusted(-kMargin, -kMargin, kMargin, kMargin) &
                          QRect(0, 0, Picture::kWidth, Picture::kHeight);
        thread_local GlyphMask mask;
        return mask.Draw(p, baseline, string, box, colour);
    }
    QImage image = PictureImage(p);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(colour));
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.drawText(baseline, string);
}

}  // namespace kuv
