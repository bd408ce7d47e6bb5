#include "picture/Drawing.h"
#include "picture/Png.h"

#include <QImage>

#include <gtest/gtest.h>

#include <random>

namespace kuv {
namespace {

QImage Decoded(const std::string& png) {
    QImage image;
    image.loadFromData(reinterpret_cast<const uchar*>(png.data()), static_cast<int>(png.size()), "PNG");
    return image;
}

// Every pixel as the picture holds it, whatever a decoder makes of it.
void ExpectSamePixels(const Picture& p, const QImage& image) {
    ASSERT_EQ(image.width(), Picture::kWidth);
    ASSERT_EQ(image.height(), Picture::kHeight);
    long differing = 0;
    for (int row = 0; row < Picture::kHeight; ++row)
        for (int x = 0; x < Picture::kWidth; ++x) {
            const ColorRef c = ColorRefFromPixel(p.At(x, row));
            const QRgb q = image.pixel(x, row);
            differing += qRed(q) != int(c & 0xFF) || qGreen(q) != int(c >> 8 & 0xFF) || qBlue(q) != int(c >> 16 & 0xFF);
        }
    EXPECT_EQ(differing, 0);
}

TEST(EncodeFastPng, DecodesToEveryPixelOfADrawing) {
    Picture p;
    DrawBox(p, 10, 10, 300, 200, 2);
    DrawCircle(p, 320, 240, 100, 1);
    p.BorderFill(320, 240, PixelFromColorRef(0x123456), PixelFromColorRef(0xFF0000));
    DrawLine(p, 0, 0, 640, 480, 4);
    ExpectSamePixels(p, Decoded(EncodeFastPng(p)));
}

TEST(EncodeFastPng, DecodesNoiseThatDoesNotCompress) {
    Picture p;
    std::mt19937 random(1);
    for (int i = 0; i < Picture::kWidth * Picture::kHeight; ++i) p.Pixels()[i] = 0xFF000000u | (random() & 0xFFFFFFu);
    const std::string png = EncodeFastPng(p);
    EXPECT_GT(png.size(), 900000u);
    ExpectSamePixels(p, Decoded(png));
}

// A palette holds 256 colours: one more and the file is RGB.
TEST(EncodeFastPng, DecodesPicturesEitherSideOfAPalettesSize) {
    for (const int colours : {256, 257}) {
        Picture p;
        for (int i = 0; i < Picture::kWidth * Picture::kHeight; ++i) p.Pixels()[i] = 0xFF000000u | ((i % colours) * 0x010203u);
        const std::string png = EncodeFastPng(p);
        EXPECT_EQ(png.find("PLTE") != std::string::npos, colours == 256) << colours;
        ExpectSamePixels(p, Decoded(png));
    }
}

}  // namespace
}  // namespace kuv
