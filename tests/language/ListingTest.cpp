#include "language/Listing.h"
#include "language/ListingText.h"

#include <gtest/gtest.h>

namespace kuv {
namespace {

struct CountRow {
    const char* intent;
    const char* text;
    int count;
};

void PrintTo(const CountRow& row, std::ostream* os) { *os << row.intent; }

class ListingCountTest : public ::testing::TestWithParam<CountRow> {};

TEST_P(ListingCountTest, DoesNotCountAnEmptyLastLine) {
    const Listing l(GetParam().text);
    EXPECT_EQ(l.Count(), GetParam().count) << GetParam().intent;
    EXPECT_EQ(l.Text(), GetParam().text) << GetParam().intent;
}

INSTANTIATE_TEST_SUITE_P(Rows, ListingCountTest,
                         ::testing::Values(CountRow{"empty text", "", 0}, CountRow{"one line break", "\r\n", 1},
                                           CountRow{"the editor's first text", "REM\r\nEND\r\n", 2},
                                           CountRow{"no final break", "REM\r\nEND", 2},
                                           CountRow{"two breaks", "\r\n\r\n", 2},
                                           CountRow{"a lone LF is not a break", "A\nB", 1}));

TEST(Listing, GetOfAMissingLineIsEmpty) {
    const Listing l("A\r\nB");
    EXPECT_EQ(l.Get(1), "B");
    EXPECT_EQ(l.Get(2), "");
    EXPECT_EQ(l.Get(-1), "");
}

TEST(Listing, DeleteOfTheLastLineKeepsTheBreakBeforeIt) {
    Listing l("A\r\nB");
    l.Delete(1);
    EXPECT_EQ(l.Text(), "A\r\n");
    EXPECT_EQ(l.Count(), 1);
    l.Delete(0);
    EXPECT_EQ(l.Text(), "");
    EXPECT_EQ(l.Count(), 0);
    EXPECT_TRUE(l.Touched());
}

TEST(Listing, PutPastTheEndChangesNothing) {
    Listing l("A");
    l.Put(3, "X");
    EXPECT_EQ(l.Text(), "A");
    EXPECT_FALSE(l.Touched());
}

TEST(Listing, PutOfTheSameBytesStillCountsAsAnEdit) {
    Listing l("A");
    l.Put(0, "A");
    EXPECT_TRUE(l.Touched());
}

// Reference: the runner's loop of single deletes.
std::string DeleteOneByOne(const std::string& text) {
    Listing l(text);
    for (int i = 0; i <= l.Count() - 1;) {
        if (l.Get(i).empty())
            l.Delete(i);
        else
            ++i;
    }
    return l.Text();
}

TEST(Listing, DeleteEmptyLinesEqualsDeletingOneByOne) {
    for (const char* text : {"", "\r\n", "\r\n\r\n", "\r\nA", "A\r\n", "A\r\n\r\n", "\r\n\r\nA\r\n\r\nB\r\n\r\n",
                             " \r\n\r\nA", "A\r\n\r\nB", "\r\n\r\n\r\nEND"}) {
        Listing l(text);
        l.DeleteEmptyLines();
        EXPECT_EQ(l.Text(), DeleteOneByOne(text)) << '"' << text << '"';
    }
}

TEST(Listing, ALineEmptiedByPutOrDeleteIsDeletedLikeAnyOther) {
    Listing put("A\r\nB\r\nC");
    put.Put(1, "");
    put.DeleteEmptyLines();
    EXPECT_EQ(put.Text(), "A\r\nC");
    Listing deleted("A\r\nB");
    deleted.Delete(1);
    deleted.Put(0, "");
    deleted.DeleteEmptyLines();
    EXPECT_EQ(deleted.Text(), "");
}

std::string Shout(std::string_view line) {
    std::string s(line.substr(0, 2));
    for (char& c : s) c = static_cast<char>(c == 'a' ? 'A' : c);
    return s;
}

TEST(Listing, RewriteLinesEqualsPuttingLineByLine) {
    for (const char* text : {"", "\r\n", "a\r\n", "abc\r\naaa", "abc\r\n\r\naaaa\r\n", "a\rb\r\nc", " \r\n"}) {
        Listing reference(text);
        for (int i = 0; i < reference.Count(); ++i) reference.Put(i, Shout(reference.Get(i)));
        Listing l(text);
        l.RewriteLines(Shout);
        EXPECT_EQ(l.Text(), reference.Text()) << '"' << text << '"';
        EXPECT_EQ(l.Count(), reference.Count()) << '"' << text << '"';
        EXPECT_EQ(l.Touched(), reference.Touched()) << '"' << text << '"';
    }
}

TEST(Listing, LinesReadOutOfOrderAreTheSame) {
    const Listing l("A\r\nBB\r\n\r\nC");
    EXPECT_EQ(l.Get(3), "C");
    EXPECT_EQ(l.Get(1), "BB");
    EXPECT_EQ(l.Get(2), "");
    EXPECT_EQ(l.Get(0), "A");
}

struct LoadRow {
    const char* intent;
    std::string file;
    std::string text;
};

void PrintTo(const LoadRow& row, std::ostream* os) { *os << row.intent; }

class LoadTest : public ::testing::TestWithParam<LoadRow> {};

TEST_P(LoadTest, NormalisesBreaksAndStopsAtZero) {
    EXPECT_EQ(NormaliseLoadedText(GetParam().file), GetParam().text) << GetParam().intent;
}

TEST_P(LoadTest, GivesTheSameTextWhereverTheBytesAreCut) {
    const std::string& file = GetParam().file;
    for (std::size_t cut = 0; cut <= file.size(); ++cut) {
        LoadedTextBuilder b;
        b.Append(std::string_view(file).substr(0, cut));
        b.Append(std::string_view(file).substr(cut));
        EXPECT_EQ(b.Finish(), GetParam().text) << GetParam().intent << ", cut at " << cut;
    }
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Rows, LoadTest,
    ::testing::Values(LoadRow{"CR LF stays", "A\r\nB\r\n", "A\r\nB\r\n"}, LoadRow{"LF", "A\nB\n", "A\r\nB\r\n"},
                      LoadRow{"lone CR", "A\rB", "A\r\nB"}, LoadRow{"LF CR is two breaks", "A\n\rB", "A\r\n\r\nB"},
                      LoadRow{"CR CR LF", "A\r\r\nB", "A\r\n\r\nB"},
                      LoadRow{"no final break stays so", "A\r\nB", "A\r\nB"},
                      LoadRow{"zero byte ends the text", "A\r\nB\0C\r\n"s, "A\r\nB"},
                      LoadRow{"zero byte first", "\0ABC"s, ""},
                      LoadRow{"a break after a lead byte belongs to it", "\x81\nA\n", "\x81\nA\r\n"},
                      LoadRow{"a lead byte at the end", "A\n\x81", "A\r\n\x81"},
                      LoadRow{"a lead byte before the zero byte", "A\x81\0B"s, "A\x81"},
                      LoadRow{"double-byte text", "\x82\xa0\r\n", "\x82\xa0\r\n"}));

}  // namespace
}  // namespace kuv
