#include "picture/Bmp.h"
#include "picture/Drawing.h"

#include <gtest/gtest.h>

namespace kuv {
namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

TEST(EncodeBmp, WritesTheHeaderFields) {
    const Picture p;
    const std::vector<std::uint8_t> b = EncodeBmp(p);
    ASSERT_EQ(b.size(), 1233338u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    struct Field {
        std::size_t at;
        std::uint32_t value;
    };
    for (const Field f : {Field{2, 1233338}, Field{6, 0}, Field{10, 54}, Field{14, 40}, Field{18, 641}, Field{22, 481},
                          Field{26, 1 | 32 << 16}, Field{30, 0}, Field{34, 1233284}, Field{38, 0}, Field{42, 0},
                          Field{46, 0}, Field{50, 0}})
        EXPECT_EQ(Le32(b, f.at), f.value) << "offset " << f.at;
}

TEST(EncodeBmp, StoresRowsBottomUpAsBlueGreenRed) {
    Picture p;
    DrawLine(p, 0, 0, 1, 0, 2);      // bottom-left pixel red
    DrawLine(p, 640, 480, 639, 480, 1);  // top-right pixel blue
    DrawLine(p, 1, 0, 2, 0, 5);      // sky blue next to the red one
    const std::vector<std::uint8_t> b = EncodeBmp(p);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 54, b.begin() + 66),
              (std::vector<std::uint8_t>{0, 0, 255, 0, 255, 128, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(b.end() - 4, b.end()), (std::vector<std::uint8_t>{255, 0, 0, 0}));
}

}  // namespace
}  // namespace kuv
