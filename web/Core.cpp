// The core as the page calls it, through a C interface: a listing's bytes
// in, the rewritten listing, the ErrorLog line and the Picture's BMP out.
#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Bmp.h"
#include "picture/Picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct LastRun {
    std::string rewritten;
    std::string errorLine;
    std::vector<std::uint8_t> bmp;
};

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
    kuv::Picture picture;
    const kuv::RunResult result = kuv::RunProgram(text, picture);
    LastRun& last = Last();
    last.rewritten = text.Text();
    last.errorLine = result.errorLine;
    last.bmp = kuv::EncodeBmp(picture);
    return result.error ? 1 : 0;
}

const char* kuv_rewritten(int* size) {
    *size = static_cast<int>(Last().rewritten.size());
    return Last().rewritten.data();
}

const char* kuv_error_line(int* size) {
    *size = static_cast<int>(Last().errorLine.size());
    return Last().errorLine.data();
}

const std::uint8_t* kuv_bmp(int* size) {
    *size = static_cast<int>(Last().bmp.size());
    return Last().bmp.data();
}
}
