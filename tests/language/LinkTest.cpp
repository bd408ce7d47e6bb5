#include "language/Link.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kuv {
namespace {

constexpr std::string_view kBase = "https://school.example/kuv/";

// A row's intent as the name of its test.
struct {
    template <class Info>
    std::string operator()(const Info& info) const {
        std::string name = info.param.intent;
        for (char& c : name)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    }
} NameOfIntent;

std::string Fragment(const std::string& link) { return link.substr(link.find('#')); }

// Text that deflate shrinks little: random digits.
std::string Noise(std::size_t size) {
    std::mt19937 random(7);
    std::string s;
    while (s.size() < size) s += "REM " + std::to_string(random()) + std::to_string(random()) + "\r\n";
    return s;
}

struct RoundTrip {
    const char* intent;
    std::string listing;
};

class LinkRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(LinkRoundTrip, OpensToTheSameBytes) {
    const MadeLink made = LinkOfListing(kBase, GetParam().listing);
    ASSERT_EQ(made.problem, LinkProblem::None);
    EXPECT_EQ(made.link.rfind(std::string(kBase) + "#k=", 0), 0u);
    EXPECT_EQ(made.link.find_first_of("+/=", kBase.size() + 3), std::string::npos) << "base64url, unpadded";
    const OpenedLink whole = ListingOfLink(made.link), fragment = ListingOfLink(Fragment(made.link));
    EXPECT_EQ(whole.problem, LinkProblem::None);
    EXPECT_EQ(whole.listing, GetParam().listing);
    EXPECT_EQ(fragment.listing, GetParam().listing);
}

INSTANTIATE_TEST_SUITE_P(
    Listings, LinkRoundTrip,
    ::testing::Values(RoundTrip{"empty", ""}, RoundTrip{"one line", "END\r\n"},
                      RoundTrip{"Shift_JIS text", "TEXT (10,10),\"\x82\xa0\x82\xa2\x8a\xbf\x8e\x9a\",0\r\nEND\r\n"},
                      RoundTrip{"every byte value", [] {
                                    std::string s;
                                    for (int i = 0; i < 256; ++i) s += static_cast<char>(i);
                                    return s;
                                }()},
                      RoundTrip{"a long listing", std::string(20000, 'A') + Noise(12000)},
                      RoundTrip{"exactly the limit", std::string(kLinkListingLimit, ' ')}),
    NameOfIntent);

TEST(Link, SameListingSameLinkAndTheBasesFragmentGoes) {
    const std::string listing = "LINE (0,0)-(640,480),4\r\nEND\r\n";
    EXPECT_EQ(LinkOfListing(kBase, listing).link, LinkOfListing(kBase, listing).link);
    EXPECT_EQ(Fragment(LinkOfListing(std::string(kBase) + "index.html#k=old", listing).link),
              Fragment(LinkOfListing(kBase, listing).link));
    EXPECT_EQ(LinkOfListing(std::string(kBase) + "?x=1#k=old", listing).link.find("old"), std::string::npos);
}

TEST(Link, FileIsTakenAsTheOpenCommandReadsIt) {
    EXPECT_EQ(LinkOfListingFile(kBase, "REM\nEND\n").link, LinkOfListing(kBase, "REM\r\nEND\r\n").link);
}

TEST(Link, TooLongIsRefusedAtTheLimit) {
    int made = 0, refused = 0;
    for (std::size_t size = 40000; size <= 70000; size += 1000) {
        const MadeLink link = LinkOfListing(kBase, Noise(size));
        if (link.problem == LinkProblem::None) {
            ++made;
            EXPECT_LE(link.link.size(), kLinkLengthLimit) << size;
        } else {
            ++refused;
            EXPECT_EQ(link.problem, LinkProblem::TooLong);
            EXPECT_TRUE(link.link.empty());
        }
    }
    EXPECT_GT(made, 0);
    EXPECT_GT(refused, 0);
}

struct BadLink {
    const char* intent;
    std::string link;
    LinkProblem problem;
};

class LinkRefused : public ::testing::TestWithParam<BadLink> {};

TEST_P(LinkRefused, GivesItsProblemAndNoListing) {
    const OpenedLink opened = ListingOfLink(GetParam().link);
    EXPECT_EQ(opened.problem, GetParam().problem);
    EXPECT_TRUE(opened.listing.empty());
    EXPECT_FALSE(LinkProblemText(GetParam().problem).empty());
}

std::string Good() { return LinkOfListing(kBase, Noise(3000)).link; }

INSTANTIATE_TEST_SUITE_P(
    Links, LinkRefused,
    ::testing::Values(BadLink{"no fragment", std::string(kBase), LinkProblem::NotALink},
                      BadLink{"another fragment", std::string(kBase) + "#top", LinkProblem::NotALink},
                      BadLink{"cut short", Good().substr(0, Good().size() - 40), LinkProblem::Broken},
                      BadLink{"cut by one character", Good().substr(0, Good().size() - 1), LinkProblem::Broken},
                      BadLink{"a character outside base64url", Good().insert(kBase.size() + 10, "%"), LinkProblem::Broken},
                      BadLink{"bytes after the end", Good() + "AAAA", LinkProblem::Broken},
                      BadLink{"not deflate", std::string(kBase) + "#k=____", LinkProblem::Broken},
                      BadLink{"a bomb past one megabyte",
                              LinkOfListing(kBase, std::string(kLinkListingLimit + 1, ' ')).link, LinkProblem::TooLarge},
                      BadLink{"a bomb of a gigabyte's worth", LinkOfListing(kBase, std::string(8 << 20, 'A')).link,
                              LinkProblem::TooLarge}),
    NameOfIntent);

TEST(Link, PaddingSomeAppsAddIsTaken) {
    const std::string link = LinkOfListing(kBase, "END\r\n").link;
    EXPECT_EQ(ListingOfLink(link + "==").listing, "END\r\n");
}

struct Argument {
    const char* argument;
    bool link;
};

TEST(Link, ArgumentsThatAreLinks) {
    for (const Argument a : {Argument{"https://school.example/kuv/#k=AwA", true}, Argument{"http://localhost:8000/#k=AwA", true},
                             Argument{"house.kuv", false}, Argument{"/home/a/#k=house.kuv", false},
                             Argument{"C:\\work\\#k=.kuv", false}, Argument{"https://school.example/kuv/", false}})
        EXPECT_EQ(IsListingLink(a.argument), a.link) << a.argument;
}

}  // namespace
}  // namespace kuv
