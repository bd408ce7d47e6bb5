// TEXT from the glyph table the build made must give exactly DrawString's
// pixels and owners: kerning pairs, Japanese punctuation, half-width kana,
// the Picture's edges, and random strings of every kind of character.
#include "picture/Drawing.h"
#include "picture/GlyphText.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <random>

namespace kuv {
namespace {

struct Placed {
    int x, y;
    std::u16string text;
};

std::vector<Placed> Corpus() {
    std::vector<Placed> corpus = {
        {10, 470, u" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"},
        {20, 300, u"AV To Wa LT yy ff fi"}, {20, 200, u"「あ」、『ア』。・ー～"}, {5, 100, u"ｸﾗｽ ﾃﾞｰﾀ ｶﾞｷﾞ"},
        {630, 240, u"はみ出す文字"}, {-5, 10, u"左と下の端"}, {300, 480, u"上の端の漢字表示①Ⅱ㈱〒"},
    };
    const GlyphTable& table = BuiltGlyphs();
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        std::u16string text;
        for (int n = 1 + static_cast<int>(rng() % 12); n > 0; --n) text += table.glyphs[rng() % table.count].ch;
        corpus.push_back({static_cast<int>(rng() % 640), 10 + static_cast<int>(rng() % 471), text});
    }
    return corpus;
}

TEST(GlyphText, DrawsWhatDrawStringDraws) {
    ASSERT_GT(BuiltGlyphs().count, 7000u);
    int differing = 0;
    for (const Placed& s : Corpus()) {
        Picture qt, table;
        qt.RecordOwners();
        table.RecordOwners();
        qt.SetOwner(7);
        table.SetOwner(7);
        DrawString(qt, s.x, s.y, 2, s.text);
        DrawStringFromGlyphs(table, s.x, s.y, 2, s.text, BuiltGlyphs());
        const bool same = std::equal(qt.Pixels(), qt.Pixels() + Picture::kWidth * Picture::kHeight, table.Pixels()) &&
                          qt.Owners() == table.Owners();
        differing += !same;
        EXPECT_TRUE(same) << "at " << s.x << "," << s.y << ", " << s.text.size() << " characters";
    }
    EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace kuv
