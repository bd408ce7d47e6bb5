#include "Drawing.h"
#include "PictureImage.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

namespace kuv {
namespace {

QFont TextFont(int pixelSize) {
    // The proportional Japanese face; IPAPGothic stands in where the
    // Windows face is not installed.
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::PreferMatch));
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Qt paints the text, so its pixels are learnt by painting the same text,
// with the same font at the same place, into a mask.
void OwnGlyphPixels(Picture& p, const QFont& font, QPoint baseline, const QString& text) {
    const QRect box = QFontMetrics(font).boundingRect(text).translated(baseline).adjusted(-4, -4, 4, 4) &
                      QRect(0, 0, Picture::kWidth, Picture::kHeight);
    if (box.isEmpty()) return;
    QImage mask(box.size(), QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    QPainter painter(&mask);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.drawText(baseline - box.topLeft(), text);
    painter.end();
    for (int y = 0; y < box.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
        for (int x = 0; x < box.width(); ++x)
            if (qAlpha(line[x]) != 0) p.Own(box.left() + x, box.top() + y);
    }
}

}  // namespace

void DrawString(Picture& p, int x, int y, int c, std::u16string_view text) {
    if (text.empty()) return;
    QImage image = PictureImage(p);
    QPainter painter(&image);
    const QFont font = TextFont(p.TextPixelSize());
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(PixelFromColorRef(ColorTable[c])));
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    const int top = Picture::kHeight - 1 - y;
    const QFontMetrics metrics(font);
    const QString string = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    const QPoint baseline(x, top + metrics.ascent());
    painter.drawText(baseline, string);
    if (p.RecordsOwners()) OwnGlyphPixels(p, font, baseline, string);
}

}  // namespace kuv
