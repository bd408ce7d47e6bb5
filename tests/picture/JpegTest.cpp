#include "picture/Drawing.h"
#include "picture/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include <map>
#include <string>

namespace kuv {
namespace {

// The segments of a JPEG file up to the start of its scan, by marker.
struct Segment {
    int marker;
    std::vector<std::uint8_t> data;
};

std::vector<Segment> Segments(const std::vector<std::uint8_t>& b) {
    std::vector<Segment> out;
    std::size_t i = 2;  // after SOI
    while (i + 4 <= b.size() && b[i] == 0xFF) {
        const int marker = b[i + 1];
        const std::size_t length = static_cast<std::size_t>(b[i + 2] << 8 | b[i + 3]);
        out.push_back({marker, std::vector<std::uint8_t>(b.begin() + static_cast<long>(i) + 4,
                                                         b.begin() + static_cast<long>(i + 2 + length))});
        i += 2 + length;
        if (marker == 0xDA) break;  // the scan's data follows
    }
    return out;
}

int Count(const std::vector<Segment>& s, int marker) {
    int n = 0;
    for (const Segment& seg : s) n += seg.marker == marker;
    return n;
}

// The standard tables of the JPEG standard, Annex K, in zig-zag order as
// they stand in a DQT segment.
const int kLuminance[64] = {16, 11, 12, 14, 12, 10, 16, 14, 13, 14, 18, 17, 16, 19, 24, 40,
                            26, 24, 22, 22, 24, 49, 35, 37, 29, 40, 58, 51, 61, 60, 57, 51,
                            56, 55, 64, 72, 92, 78, 64, 68, 87, 69, 55, 56, 80, 109, 81, 87,
                            95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};
const int kChrominance[64] = {17, 18, 18, 24, 21, 24, 47, 26, 26, 47, 99, 66, 56, 66, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                              99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

int ScaledForQuality90(int entry) {
    const int v = (entry * 20 + 50) / 100;
    return v < 1 ? 1 : v > 255 ? 255 : v;
}

TEST(EncodeJpeg, WritesTheMarkersOfABaselineJfifFile) {
    Picture p;
    DrawCircle(p, 320, 240, 100, 2);
    const JpegResult r = EncodeJpeg(p);
    ASSERT_TRUE(r.Ok());
    const std::vector<std::uint8_t>& b = r.bytes;
    ASSERT_GT(b.size(), 1000u);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0xD8);  // SOI
    EXPECT_EQ(b[b.size() - 2], 0xFF);
    EXPECT_EQ(b[b.size() - 1], 0xD9);  // EOI

    const std::vector<Segment> s = Segments(b);
    ASSERT_FALSE(s.empty());
    // APP0 first: "JFIF\0", version 1.01, density unit 0, density 1 x 1, no thumbnail.
    EXPECT_EQ(s[0].marker, 0xE0);
    EXPECT_EQ(s[0].data, (std::vector<std::uint8_t>{'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0}));

    std::map<int, std::vector<int>> tables;
    for (const Segment& seg : s)
        if (seg.marker == 0xDB)
            for (std::size_t i = 0; i + 65 <= seg.data.size(); i += 65) {
                ASSERT_EQ(seg.data[i] >> 4, 0) << "8-bit entries";
                tables[seg.data[i] & 15].assign(seg.data.begin() + static_cast<long>(i) + 1,
                                                seg.data.begin() + static_cast<long>(i) + 65);
            }
    ASSERT_EQ(tables.size(), 2u);
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(tables[0][k], ScaledForQuality90(kLuminance[k])) << k;
        EXPECT_EQ(tables[1][k], ScaledForQuality90(kChrominance[k])) << k;
    }

    ASSERT_EQ(Count(s, 0xC0), 1);  // SOF0: baseline
    for (int m : {0xC1, 0xC2, 0xC3, 0xC9, 0xCA}) EXPECT_EQ(Count(s, m), 0) << m;
    for (const Segment& seg : s) {
        if (seg.marker == 0xC0) {
            EXPECT_EQ(seg.data, (std::vector<std::uint8_t>{8, 481 >> 8, 481 & 255, 641 >> 8, 641 & 255, 3, 1, 0x22,
                                                           0, 2, 0x11, 1, 3, 0x11, 1}));
        }
    }
    EXPECT_EQ(Count(s, 0xDD), 0);  // no restart interval
    // The four standard Huffman tables; the luminance DC table's code counts
    // show that they were not optimised for this picture.
    std::map<int, std::vector<int>> huffman;
    for (const Segment& seg : s)
        if (seg.marker == 0xC4) huffman[seg.data[0]].assign(seg.data.begin() + 1, seg.data.begin() + 17);
    EXPECT_EQ(huffman.size(), 4u);
    EXPECT_EQ(huffman[0x00], (std::vector<int>{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(huffman[0x10], (std::vector<int>{0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d}));
    ASSERT_EQ(s.back().marker, 0xDA);
    EXPECT_EQ(s.back().data[0], 3);  // one interleaved scan of all three components
    // And only one scan in the whole file.
    int scans = 0;
    for (std::size_t i = 0; i + 1 < b.size(); ++i) scans += b[i] == 0xFF && b[i + 1] == 0xDA;
    EXPECT_EQ(scans, 1);
}

struct Decoded {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

Decoded Decode(const std::vector<std::uint8_t>& bytes) {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    Decoded d;
    d.width = static_cast<int>(cinfo.output_width);
    d.height = static_cast<int>(cinfo.output_height);
    d.rgb.resize(static_cast<std::size_t>(d.width) * d.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = d.rgb.data() + static_cast<std::size_t>(cinfo.output_scanline) * d.width * 3;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return d;
}

TEST(EncodeJpeg, DecodesCloseToThePicture) {
    Picture p;
    DrawBox(p, 100, 100, 300, 300, 0);
    PaintArea(p, 200, 200, 5, 0);
    PaintArea24(p, 500, 400, 30, 160, 220);
    DrawString(p, 20, 460, 2, u"KUV 漢字");
    const Decoded d = Decode(EncodeJpeg(p).bytes);
    ASSERT_EQ(d.width, 641);
    ASSERT_EQ(d.height, 481);
    long long error = 0;
    int worst = 0;
    for (int row = 0; row < 481; ++row)
        for (int x = 0; x < 641; ++x) {
            const Pixel px = p.At(x, row);
            const std::uint8_t* rgb = &d.rgb[(static_cast<std::size_t>(row) * 641 + x) * 3];
            for (int c = 0; c < 3; ++c) {
                const int want = static_cast<int>(px >> (16 - 8 * c) & 0xFF);
                const int diff = std::abs(want - rgb[c]);
                error += diff;
                worst = std::max(worst, diff);
            }
        }
    EXPECT_LT(static_cast<double>(error) / (641.0 * 481 * 3), 1.5);  // mean difference per sample
    // Inside the flat sky-blue box, far from any edge, colours are exact within rounding.
    const std::uint8_t* inside = &d.rgb[(static_cast<std::size_t>(480 - 200) * 641 + 200) * 3];
    EXPECT_NEAR(inside[0], 0, 3);
    EXPECT_NEAR(inside[1], 128, 3);
    EXPECT_NEAR(inside[2], 255, 3);
}

TEST(EncodeJpeg, PureRedStaysRed) {
    Picture p;
    p.FillRect(0, 0, Picture::kWidth, Picture::kHeight, 0xFFFF0000u);
    const Decoded d = Decode(EncodeJpeg(p).bytes);
    const std::uint8_t* mid = &d.rgb[(240 * 641 + 320) * 3];
    EXPECT_GT(mid[0], 245);
    EXPECT_LT(mid[1], 10);
    EXPECT_LT(mid[2], 10);
}

TEST(EncodeJpeg, AnUnclearedPictureDecodesWhite) {
    const Decoded d = Decode(EncodeJpeg(Picture()).bytes);
    for (std::size_t i = 0; i < d.rgb.size(); i += 997) EXPECT_GE(d.rgb[i], 254);
}

TEST(EncodeJpeg, TurnsTheLibrarysErrorIntoItsNumberAndPrintsNothing) {
    const Pixel one = 0xFFFFFFFFu;
    testing::internal::CaptureStderr();
    const JpegResult r = EncodeJpegPixels(&one, 0, 1);  // an empty image
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.errorCode, JERR_EMPTY_IMAGE);
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(printed, "");
}

TEST(EncodeJpeg, IsTheSameEveryTime) {
    Picture p;
    DrawCircle(p, 100, 100, 50, 3);
    EXPECT_EQ(EncodeJpeg(p).bytes, EncodeJpeg(p).bytes);
}

}  // namespace
}  // namespace kuv
