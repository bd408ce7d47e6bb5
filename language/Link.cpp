#include "language/Link.h"

#include <zlib.h>

#include <array>
#include <cstdint>
#include <new>

#include "language/Cp932.h"
#include "language/ListingText.h"

namespace kuv {
namespace {

constexpr std::string_view kMarker = "#k=";
constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

struct ProblemText {
    LinkProblem problem;
    std::u16string_view text;
};
constexpr std::array kProblemTexts{
    ProblemText{LinkProblem::TooLong,
                u"このリストは長すぎるので、リンクにできません（リンクは 32,000 文字までです）。"
                u"ファイルに保存して渡してください"},
    ProblemText{LinkProblem::NotALink, u"これは KUV のリストのリンクではありません（「#k=」がありません）"},
    ProblemText{LinkProblem::Broken,
                u"このリンクからはリストを読み出せません。リンクが途中で切れていないか、"
                u"コピーし直して確かめてください。今のリストはそのままです"},
    ProblemText{LinkProblem::TooLarge,
                u"このリンクのリストは 1 MB を超えるので開けません。今のリストはそのままです"},
};

std::string Base64Url(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() * 4 + 2) / 3);
    std::uint32_t bits = 0;
    int count = 0;
    for (const unsigned char c : bytes) {
        bits = (bits << 8) | c;
        count += 8;
        while (count >= 6) {
            count -= 6;
            out += kAlphabet[(bits >> count) & 63];
        }
    }
    if (count > 0) out += kAlphabet[(bits << (6 - count)) & 63];
    return out;
}

// False for a character outside the alphabet, or a length that no bytes
// give. Padding "=" at the end is taken, as some apps add it.
bool FromBase64Url(std::string_view text, std::string& bytes) {
    while (!text.empty() && text.back() == '=') text.remove_suffix(1);
    if (text.size() % 4 == 1) return false;
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const auto value = kAlphabet.find(c);
        if (value == std::string_view::npos) return false;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return true;
}

// zlib fails only for want of memory: as anywhere else, std::bad_alloc,
// never a link of an empty listing.
std::string Deflate(std::string_view bytes) {
    z_stream stream{};
    // Raw deflate (no header), zlib's default level, window and memory.
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) throw std::bad_alloc();
    std::string out(deflateBound(&stream, bytes.size()), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END) throw std::bad_alloc();
    return out;
}

OpenedLink Inflate(std::string_view packed) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) return {{}, LinkProblem::Broken};
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    OpenedLink opened;
    std::array<char, 16384> chunk;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        opened.listing.append(chunk.data(), chunk.size() - stream.avail_out);
        if (opened.listing.size() > kLinkListingLimit) {
            inflateEnd(&stream);
            return {{}, LinkProblem::TooLarge};
        }
    }
    // A cut link ends before the stream does; bytes after its end are not
    // the page's.
    const bool whole = status == Z_STREAM_END && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!whole) return {{}, LinkProblem::Broken};
    return opened;
}

std::string_view WithoutFragment(std::string_view url) { return url.substr(0, url.find('#')); }

}  // namespace

MadeLink LinkOfListing(std::string_view baseUrl, std::string_view listingBytes) {
    std::string link = std::string(WithoutFragment(baseUrl)) + std::string(kMarker) + Base64Url(Deflate(listingBytes));
    if (link.size() > kLinkLengthLimit) return {{}, LinkProblem::TooLong};
    return {std::move(link), LinkProblem::None};
}

MadeLink LinkOfListingFile(std::string_view baseUrl, std::string_view fileBytes) {
    return LinkOfListing(baseUrl, EncodeCp932Lines(DecodeCp932Lines(NormaliseLoadedText(fileBytes))));
}

OpenedLink ListingOfLink(std::string_view link) {
    const auto hash = link.find('#');
    std::string_view fragment = hash == std::string_view::npos ? link : link.substr(hash + 1);
    if (fragment.substr(0, 2) != "k=") return {{}, LinkProblem::NotALink};
    fragment.remove_prefix(2);
    std::string packed;
    if (!FromBase64Url(fragment, packed)) return {{}, LinkProblem::Broken};
    return Inflate(packed);
}

bool IsListingLink(std::string_view argument) {
    const auto scheme = argument.find("://");
    const auto marker = argument.find(kMarker);
    return scheme != std::string_view::npos && scheme > 0 && marker != std::string_view::npos && marker > scheme;
}

std::u16string LinkProblemText(LinkProblem problem) {
    for (const auto& row : kProblemTexts)
        if (row.problem == problem) return std::u16string(row.text);
    return {};
}

}  // namespace kuv
