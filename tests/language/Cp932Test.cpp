#include "language/Cp932.h"
#include "language/Runner.h"

#include <gtest/gtest.h>

#include <random>

namespace kuv {
namespace {

TEST(Cp932, DecodesJapaneseTextAndHalfWidthKana) {
    EXPECT_EQ(DecodeCp932("\x82\xa0\x8a\xbf\x8e\x9a"), u"あ漢字");
    EXPECT_EQ(DecodeCp932("\xb1\xb2"), u"ｱｲ");
    EXPECT_EQ(DecodeCp932("A\\~"), u"A\\~");
    EXPECT_EQ(Utf8ToCp932("設定値"), "\x90\xdd\x92\xe8\x92\x6c");
    EXPECT_EQ(Cp932ToUtf8("\x8d\x73\x81\x46"), "行：");
}

TEST(Cp932, EveryByteSequenceComesBackUnchanged) {
    std::mt19937 rng(932);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(static_cast<std::size_t>(byte(rng) % 64), '\0');
        for (char& b : bytes) b = static_cast<char>(byte(rng));
        ASSERT_EQ(EncodeCp932(DecodeCp932(bytes)), bytes);
    }
}

TEST(Cp932, EveryDoubleByteCodeComesBackUnchanged) {
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            ASSERT_EQ(EncodeCp932(DecodeCp932(bytes)), bytes) << lead << ' ' << trail;
        }
}

TEST(Cp932, BytesThatAreNotTextBecomePrivateUseCharacters) {
    EXPECT_EQ(DecodeCp932("\x80"), std::u16string(1, char16_t(0xF780 + 0x80)));
    // A lead byte takes the next byte with it, even a line break.
    EXPECT_EQ(DecodeCp932("\x85\x0a"), (std::u16string{char16_t(0xF780 + 0x85), char16_t(0xF780 + 0x0A)}));
}

TEST(Cp932, UnencodableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(EncodeCp932(u"a\u00e9b"), "a?b");
    EXPECT_EQ(EncodeCp932(u"\U0001F600x"), "?x");  // one '?' for a surrogate pair
    std::u16string text = u"é漢😀?";
    EXPECT_TRUE(ReplaceUnencodable(text));
    EXPECT_EQ(text, u"?漢??");
    // Typed stand-ins would save as raw bytes: a NUL, a bare LF or CR.
    std::u16string standIns = u"a\uF780b\uF78A\uF78D\uF87F";
    EXPECT_TRUE(ReplaceUnencodable(standIns));
    EXPECT_EQ(standIns, u"a?b???");
    std::u16string fine = u"漢字 ok";
    EXPECT_FALSE(ReplaceUnencodable(fine));
}

TEST(Cp932, CutsNeverSplitACharacter) {
    const std::string a = "\x82\xa0";  // あ
    std::string s = "x";
    for (int i = 0; i < 200; ++i) s += a;
    EXPECT_EQ(CutToWholeChars(s, 255).size(), 255u);  // x + 127 characters
    EXPECT_EQ(CutToWholeChars(s.substr(1), 255).size(), 254u);
    EXPECT_EQ(CutToWholeChars("short", 255), "short");
}

struct LineRow {
    const char* intent;
    std::string line;
    std::string normal;
};

void PrintTo(const LineRow& row, std::ostream* os) { *os << row.intent; }

class NormaliseLineTest : public ::testing::TestWithParam<LineRow> {};

TEST_P(NormaliseLineTest, TrimsAndUpperCases) {
    EXPECT_EQ(NormaliseLine(GetParam().line), GetParam().normal) << GetParam().intent;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NormaliseLineTest,
    ::testing::Values(LineRow{"spaces on both sides", "  rem x  ", "REM X"},
                      LineRow{"tabs are not trimmed", "\tline ", "\tLINE"},
                      LineRow{"full-width spaces are not trimmed", "\x81\x40line", "\x81\x40LINE"},
                      LineRow{"trail bytes in a-z stay", "\x83\x61\x83\x7a", "\x83\x61\x83\x7a"},
                      LineRow{"single-byte after double-byte", "\x82\xa0z", "\x82\xa0Z"},
                      LineRow{"only spaces", "   ", ""},
                      LineRow{"cut before trimming", std::string(250, 'a') + "      b",
                              std::string(250, 'A')}));

TEST(ErrorLogLine, UsesThreeColumns) {
    EXPECT_EQ(ErrorLogLine(3, "X"), "  3\x8d\x73\x81\x46X");
    EXPECT_EQ(ErrorLogLine(1000, "X"), "1000\x8d\x73\x81\x46X");
}

}  // namespace
}  // namespace kuv
