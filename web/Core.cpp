// The core as the page calls it, through a C interface: a listing's bytes
// in, the rewritten listing, the ErrorLog line and the Picture's BMP out.
#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/ListingText.h"
#include "language/Runner.h"
#include "picture/Bmp.h"
#include "picture/Jpeg.h"
#include "picture/Picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct LastRun {
    std::string rewritten;
    std::string errorLine;
    std::vector<std::uint8_t> bmp;
    kuv::Picture picture;
    std::u16string text;  // rewritten or errorLine as the page shows it
    std::u16string loaded;
    std::u16string checks;
    std::string saved;
    std::vector<std::uint8_t> jpeg;
};

// CP932 with CR LF to the editor's UTF-16 with LF.
std::u16string ShownText(std::string_view bytes) {
    std::u16string u = kuv::DecodeCp932(bytes), out;
    for (std::size_t i = 0; i < u.size(); ++i)
        if (!(u[i] == u'\r' && i + 1 < u.size() && u[i + 1] == u'\n')) out += u[i];
    return out;
}

LastRun& Last() {
    static LastRun last;
    return last;
}

}  // namespace

extern "C" {

// Runs a listing (CP932 bytes with CR LF) as the Run command does; returns
// 1 when it stopped at an error, else 0.
int kuv_run(const char* listing, int size) {
    kuv::Listing text(std::string(listing, static_cast<std::size_t>(size)));
    LastRun& last = Last();
    last.picture = kuv::Picture();
    const kuv::RunResult result = kuv::RunProgram(text, last.picture);
    last.rewritten = text.Text();
    last.errorLine = result.errorLine;
    last.bmp = kuv::EncodeBmp(last.picture);
    return result.error ? 1 : 0;
}

// The editor's text (UTF-16, lines separated by LF) run as the Run command
// runs it.
int kuv_run_text(const char16_t* text, int length) {
    const std::string bytes = kuv::EncodeCp932Lines(std::u16string_view(text, static_cast<std::size_t>(length)));
    return kuv_run(bytes.data(), static_cast<int>(bytes.size()));
}

// The rewritten listing (0), the ErrorLog line (1), the loaded file (2) or
// the checks (3) as the page shows it.
const char16_t* kuv_text(int which, int* length) {
    LastRun& last = Last();
    last.text = which == 3   ? last.checks
                : which == 2 ? last.loaded
                             : ShownText(which == 0 ? last.rewritten : last.errorLine);
    *length = static_cast<int>(last.text.size());
    return last.text.data();
}

// A listing file's bytes as the editor takes them (the Open command's
// rules; bytes that are not text kept as stand-ins), in kuv_text(2).
void kuv_load(const char* bytes, int size) {
    Last().loaded = ShownText(kuv::NormaliseLoadedText(std::string_view(bytes, static_cast<std::size_t>(size))));
}

// The editor's text as a listing file's bytes (CP932, CR LF), in kuv_saved.
void kuv_save(const char16_t* text, int length) {
    Last().saved = kuv::EncodeCp932Lines(std::u16string_view(text, static_cast<std::size_t>(length)));
}

const char* kuv_saved(int* size) {
    *size = static_cast<int>(Last().saved.size());
    return Last().saved.data();
}

// The live checks of the editor's text: for each line where Run would stop
// were it the first error, "line TAB ErrorLog line LF", in kuv_text(3).
void kuv_check(const char16_t* text, int length) {
    const kuv::Listing listing(kuv::EncodeCp932Lines(std::u16string_view(text, static_cast<std::size_t>(length))));
    std::u16string out;
    const std::vector<kuv::LineCheck> checks = kuv::CheckListing(listing);
    for (std::size_t i = 0; i < checks.size(); ++i) {
        const kuv::LineCheck& c = checks[i];
        if (!c.reached || !c.verdict.args.error) continue;
        for (const char ch : std::to_string(i + 1)) out += static_cast<char16_t>(ch);
        out += u'\t';
        out += ShownText(kuv::ErrorLogLine(c.number, c.verdict.args.Msg));
        out += u'\n';
    }
    Last().checks = out;
}

// The Picture's pixels, 0xFFRRGGBB, rows from the top.
const std::uint32_t* kuv_pixels() { return Last().picture.Pixels(); }

const std::uint8_t* kuv_bmp(int* size) {
    *size = static_cast<int>(Last().bmp.size());
    return Last().bmp.data();
}

// The Picture as the JPG export writes it; null (size 0) when libjpeg failed.
const std::uint8_t* kuv_jpeg(int* size) {
    kuv::JpegResult result = kuv::EncodeJpeg(Last().picture);
    Last().jpeg = result.Ok() ? std::move(result.bytes) : std::vector<std::uint8_t>();
    *size = static_cast<int>(Last().jpeg.size());
    return Last().jpeg.empty() ? nullptr : Last().jpeg.data();
}
}
