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
    painter.drawText(QPoint(x, top + metrics.ascent()),
                     QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())));
}

}  // namespace kuv
