// kuv-render: runs a listing file as the Run command does and writes the
// Picture and the rewritten listing; --batch does it for many listings.
#pragma once

#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Compare.h"
#include "shell/Export.h"

#include <QString>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kuv {

// Exit codes: 0 clean run, 1 listing error, 2 file or usage failure.
int RenderMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

// One listing, loaded, run and written as a single kuv-render run does it.
// "-" as the listing reads in, as an output writes to out.
struct RenderJob {
    std::string listing;
    std::optional<std::string> picture;
    ImageFormat format = ImageFormat::Png;
    std::optional<std::string> listingOut;
    std::optional<std::string> owners;
    // Whether a FIFO or a device may be waited for, as on one listing.
    SpecialFiles special = SpecialFiles::Wait;
    // Whether to give the Picture's summary in words.
    bool describe = false;
    // The answer's Picture (with its owners) to compare with, and where the
    // difference picture goes (PNG).
    const Picture* answer = nullptr;
    std::string difference;
};

struct RenderOutcome {
    int exitCode = 0;           // 0 clean, 1 an error in the listing, 2 a file failed
    QString failure;            // what failed, for exit code 2
    std::optional<RunError> error;  // for exit code 1
    int statementsRun = 0;
    bool read = false;          // the listing could be read
    Listing rewritten;          // the rewritten listing
    std::u16string summary;     // the Picture in words, when the job asked for it
    std::optional<Comparison> comparison;  // with the answer, when the job gave one
};

RenderOutcome RenderListing(const RenderJob& job, std::istream& in, std::ostream& out);

// The listing a command names ("-" for in), read as Open reads it; when it
// cannot be read, the error box's message goes to err and none is given.
std::optional<std::string> ReadListingArgument(const std::string& name, std::istream& in, std::ostream& err);

}  // namespace kuv
