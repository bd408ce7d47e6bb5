// kuv-render's command line, for every mode, read by one parser from one
// table of options.
#pragma once

#include "shell/Export.h"

#include <optional>
#include <string>
#include <vector>

namespace kuv {

struct RenderArgs {
    enum class Mode { Single, Batch, Check, Describe, Link };
    Mode mode = Mode::Single;
    // The listings: one for Single, files and folders for Batch.
    std::vector<std::string> listings;
    std::optional<std::string> picture, listingOut, owners;
    std::optional<ImageFormat> format;  // Single: from -o's name unless --format gave it
    std::string outDir;                 // Batch
    int jobs = 0;                       // Batch: 0 for every core
    std::optional<std::string> answer;  // Batch: the listing every picture is compared with
    int tolerance = 0;                  // Batch: the differing pixels a picture that passes may have
    bool json = false;                  // Check, Describe: as JSON
    std::string linkBase;               // Link: the page's address
};

// What the command line asks for: a run with its arguments, or an answer
// at once (help, version, a usage problem) with its text and exit status.
struct ParsedArgs {
    RenderArgs args;
    std::optional<int> exitNow;
    std::string out, err;
};

ParsedArgs ParseRenderArgs(const std::vector<std::string>& args);

// "-" for a file: standard input or output.
inline constexpr const char* kStandardStream = "-";

// The usage lines of the two modes.
extern const char* const kRenderUsage;
extern const char* const kBatchUsage;
extern const char* const kCheckUsage;
extern const char* const kDescribeUsage;
extern const char* const kLinkUsage;

}  // namespace kuv
