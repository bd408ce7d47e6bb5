// A listing handed out as a link: the page's address, "#k=", and the
// listing's Shift_JIS bytes (as the Save command writes them) compressed
// with raw deflate and written in base64url without padding. The fragment
// never reaches a server, and the same listing always gives the same link:
// zlib at its default level, the CompressionStream("deflate-raw") of
// Chromium and Firefox.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kuv {

// A longer link is refused: some mail and chat apps cut links near there.
inline constexpr std::size_t kLinkLengthLimit = 32000;
// A link is input from anyone: its listing may inflate to at most this
// many bytes, and inflating stops as soon as it passes them.
inline constexpr std::size_t kLinkListingLimit = 1 << 20;

enum class LinkProblem { None, TooLong, NotALink, Broken, TooLarge };

struct MadeLink {
    std::string link;  // empty when there is a problem
    LinkProblem problem = LinkProblem::None;
};

struct OpenedLink {
    std::string listing;  // the listing's Shift_JIS bytes
    LinkProblem problem = LinkProblem::None;
};

// The link of a listing's bytes. Any fragment of baseUrl is dropped.
MadeLink LinkOfListing(std::string_view baseUrl, std::string_view listingBytes);

// The link of a listing file as the page would make it after opening the
// file: the bytes as the Open command reads them and Save writes them.
MadeLink LinkOfListingFile(std::string_view baseUrl, std::string_view fileBytes);

// The listing of a link, or of its fragment alone ("#k=…" or "k=…").
OpenedLink ListingOfLink(std::string_view link);

// Whether a program argument is a link rather than a file's path.
bool IsListingLink(std::string_view argument);

// The message of a link that cannot be made or opened (UTF-16), for the
// error box (ErrorBoxText); empty for LinkProblem::None.
std::u16string LinkProblemText(LinkProblem problem);

}  // namespace kuv
