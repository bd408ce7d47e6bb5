#include "RenderArgs.h"

#include "shell/Paths.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace kuv {

const char* const kRenderUsage =
    "usage: kuv-render [-o PICTURE] [--format bmp|jpg|png] [-l LISTING_OUT] [--owners OWNERS.pgm] LISTING\n";
const char* const kBatchUsage =
    "usage: kuv-render --batch OUTDIR [--format png|bmp|jpg] [-j N] [--answer ANSWER.kuv [--tolerance N]] LISTING|FOLDER...\n";
const char* const kCheckUsage = "usage: kuv-render --check [--json] LISTING\n";
const char* const kDescribeUsage = "usage: kuv-render --describe [--json] LISTING\n";
const char* const kLinkUsage = "usage: kuv-render --link BASE_URL LISTING\n";

namespace {

constexpr const char* kHelp =
    "Runs a KUV listing as the desktop program's Run command does.\n"
    "\n"
    "  LISTING          a listing file (Shift_JIS); - reads standard input\n"
    "  -o PICTURE       write the picture: .bmp (32-bit BMP), .jpg (JPEG) or .png\n"
    "  --format FORMAT  the picture's format whatever its name: bmp, jpg or png\n"
    "                   (for -o -, png unless given)\n"
    "  -l LISTING_OUT   write the rewritten listing (Shift_JIS, CR LF)\n"
    "  --owners PGM     write which line painted each pixel: a 16-bit PGM, top\n"
    "                   row first, 0 for none (65535 for line 65535 and later)\n"
    "                   - as PICTURE, LISTING_OUT or PGM writes to standard output\n"
    "  --help           show this help\n"
    "  --version        show the version\n"
    "\n"
    "kuv-render --batch OUTDIR [--format png|bmp|jpg] [-j N] LISTING|FOLDER...\n"
    "                   renders many listings at once (every *.kuv of a folder) into\n"
    "                   OUTDIR, on N threads (default: every core), with a report:\n"
    "                   index.html, report.csv and report.json\n"
    "  --answer ANSWER  compares every picture with ANSWER's, pixel by pixel: the\n"
    "                   pixels that differ, the match, whether it passed, the first\n"
    "                   line that leaves the answer, and NAME-diff.png\n"
    "  --tolerance N    a picture passes with at most N differing pixels (0)\n"
    "\n"
    "kuv-render --check [--json] LISTING\n"
    "                   lists every line at which Run would stop, and the lines that\n"
    "                   run but draw less than they say, each with what it means and,\n"
    "                   where it is certain, the fixed line; writes nothing else.\n"
    "                   Exit status 0 when Run would stop at no line, 1 otherwise,\n"
    "                   2 when the listing cannot be read\n"
    "\n"
    "kuv-render --describe [--json] LISTING\n"
    "                   runs the listing and describes its Picture in words: a\n"
    "                   summary, then each statement drawn (its shape, colour,\n"
    "                   place, what can be seen of it, what hides it, what it lies\n"
    "                   in); exit status as for a run\n"
    "\n"
    "kuv-render --link BASE_URL LISTING\n"
    "                   prints the link that hands the listing out: the page at\n"
    "                   BASE_URL opens it (the very link the page's リンクをコピー\n"
    "                   makes). Exit status 1 when the link would pass 32,000\n"
    "                   characters, 2 when the listing cannot be read\n"
    "\n"
    "Files are replaced whole or not at all: a failed write leaves an existing\n"
    "file as it was. Devices and FIFOs are written in place.\n"
    "\n"
    "Exit status: 0 clean run, 1 error in the listing (its line goes to\n"
    "standard error), 2 a file could not be read or written, memory ran out,\n"
    "or bad usage.\n";

// Every option, in one row: where it may stand, what follows it, and the
// words for a value that is missing or wrong in each mode.
enum class Value { None, File, Format, Jobs, Flag, Count };
struct Option {
    const char* name;
    const char* alias;
    Value value;
    bool single, batch, check;
    const char* missingSingle;  // after "kuv-render: " + the option's name
    const char* missingBatch;
    const char* wrongSingle;  // after "kuv-render: "
    const char* wrongBatch;
};
constexpr Option kOptions[] = {
    {"--help", "-h", Value::None, true, false, false, "", "", "", ""},
    {"--version", nullptr, Value::None, true, false, false, "", "", "", ""},
    {"-o", nullptr, Value::File, true, false, false, " needs a file name", "", "", ""},
    {"-l", nullptr, Value::File, true, false, false, " needs a file name", "", "", ""},
    {"--owners", nullptr, Value::File, true, false, false, " needs a file name", "", "", ""},
    {"--format", nullptr, Value::Format, true, true, false, "", " needs a value", "--format needs bmp, jpg or png",
     "--format needs png, bmp or jpg"},
    {"-j", nullptr, Value::Jobs, false, true, false, "", " needs a value", "", "-j needs a number from 1 to 256"},
    {"--answer", nullptr, Value::File, false, true, false, "", " needs a file name", "", ""},
    {"--tolerance", nullptr, Value::Count, false, true, false, "", " needs a value", "", "--tolerance needs a number from 0 to 308321"},
    // --json serves --check and --describe alike.
    {"--json", nullptr, Value::Flag, false, false, true, "", "", "", ""},
};

// --link takes no options.
const Option* OptionNamed(const std::string& a, RenderArgs::Mode mode) {
    if (mode == RenderArgs::Mode::Link) return nullptr;
    for (const Option& o : kOptions)
        if ((a == o.name || (o.alias && a == o.alias)) &&
            (mode == RenderArgs::Mode::Single ? o.single : mode == RenderArgs::Mode::Batch ? o.batch : o.check))
            return &o;
    return nullptr;
}

ParsedArgs Usage(RenderArgs::Mode mode, const std::string& problem) {
    ParsedArgs p;
    p.exitNow = 2;
    p.err = "kuv-render: " + problem + "\n" +
            (mode == RenderArgs::Mode::Batch      ? kBatchUsage
             : mode == RenderArgs::Mode::Check    ? kCheckUsage
             : mode == RenderArgs::Mode::Describe ? kDescribeUsage
             : mode == RenderArgs::Mode::Link     ? kLinkUsage
                                                  : kRenderUsage);
    return p;
}

std::optional<ImageFormat> FormatOf(const std::string& path) {
    if (path == kStandardStream) return ImageFormat::Png;
    return ImageFormatNamed(QFileInfo(PathFromNative(path)).suffix().toLower().toStdString());
}

// "--batch OUTDIR" (and "--link BASE_URL") may stand anywhere: the rest
// are the mode's words.
std::vector<std::string> WithoutModeWord(const std::vector<std::string>& args, const char* word, std::string& outDir,
                                         bool& haveOutDir) {
    const auto batch = std::find(args.begin(), args.end(), word);
    haveOutDir = batch + 1 != args.end();
    if (haveOutDir) outDir = *(batch + 1);
    std::vector<std::string> rest(args.begin(), batch);
    if (haveOutDir) rest.insert(rest.end(), batch + 2, args.end());
    return rest;
}

// The checks of a whole single-listing command line.
std::optional<std::string> SingleProblem(RenderArgs& r) {
    if (r.listings.empty()) return "no listing given";
    if (r.picture && !r.format) r.format = FormatOf(*r.picture);
    if (r.picture && !r.format) return "the picture's name must end in .bmp, .jpg or .png: " + *r.picture;
    if ((r.picture == kStandardStream) + (r.listingOut == kStandardStream) + (r.owners == kStandardStream) > 1)
        return "only one output can go to standard output";
    return std::nullopt;
}

}  // namespace

ParsedArgs ParseRenderArgs(const std::vector<std::string>& given) {
    ParsedArgs parsed;
    RenderArgs& r = parsed.args;
    std::vector<std::string> args = given;
    const auto given_ = [&](const char* word) { return std::find(given.begin(), given.end(), word) != given.end(); };
    // --check and --describe are modes of one listing, like --batch a word
    // that may stand anywhere.
    const char* oneMode = given_("--check") ? "--check" : given_("--describe") ? "--describe" : nullptr;
    if (given_("--link")) {
        r.mode = RenderArgs::Mode::Link;
        if (given_("--batch") || oneMode) return Usage(r.mode, "--link cannot be used with other modes");
        bool haveBase = false;
        args = WithoutModeWord(given, "--link", r.linkBase, haveBase);
        if (!haveBase) return Usage(r.mode, "--link needs the page's address");
    } else if (oneMode) {
        r.mode = given_("--check") ? RenderArgs::Mode::Check : RenderArgs::Mode::Describe;
        if (given_("--batch") || (given_("--check") && given_("--describe")))
            return Usage(r.mode, std::string(oneMode) + " cannot be used with " + (given_("--batch") ? "--batch" : "--describe"));
        args.erase(std::find(args.begin(), args.end(), oneMode));
    } else if (std::find(given.begin(), given.end(), "--batch") != given.end()) {
        r.mode = RenderArgs::Mode::Batch;
        bool haveOutDir = false;
        args = WithoutModeWord(given, "--batch", r.outDir, haveOutDir);
        if (!haveOutDir) return Usage(r.mode, "--batch needs an output folder");
    }
    // Check, like Single, takes one listing.
    const bool single = r.mode != RenderArgs::Mode::Batch;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const Option* o = OptionNamed(a, r.mode);
        // A lone "-" is standard input, a listing like any other.
        if (!o && a.size() > 1 && a[0] == '-' && a != kStandardStream) return Usage(r.mode, "unknown option " + a);
        if (!o) {
            if (single && !r.listings.empty()) return Usage(r.mode, "only one listing may be given");
            r.listings.push_back(a);
            continue;
        }
        if (o->value == Value::Flag) {
            r.json = true;
            continue;
        }
        if (o->value == Value::None) {
            parsed.exitNow = 0;
            parsed.out = a == "--version" ? std::string("kuv-render " KUV_VERSION "\n") : std::string(kRenderUsage) + kHelp;
            return parsed;
        }
        const bool hasValue = i + 1 < args.size();
        if (!hasValue && *(single ? o->missingSingle : o->missingBatch))
            return Usage(r.mode, a + (single ? o->missingSingle : o->missingBatch));
        const std::string v = hasValue ? args[++i] : std::string();
        switch (o->value) {
            case Value::File: (a == "-o" ? r.picture : a == "-l" ? r.listingOut : a == "--answer" ? r.answer : r.owners) = v; break;
            case Value::Count: {
                char* end = nullptr;
                const long n = std::strtol(v.c_str(), &end, 10);
                if (v.empty() || *end || n < 0 || n > 308321) return Usage(r.mode, o->wrongBatch);
                r.tolerance = static_cast<int>(n);
                break;
            }
            case Value::Format:
                r.format = hasValue ? ImageFormatNamed(v) : std::nullopt;
                if (!r.format) return Usage(r.mode, single ? o->wrongSingle : o->wrongBatch);
                break;
            case Value::Jobs:
                r.jobs = std::atoi(v.c_str());
                if (r.jobs < 1 || r.jobs > 256) return Usage(r.mode, o->wrongBatch);
                break;
            case Value::None:
            case Value::Flag: break;
        }
    }
    if (r.mode == RenderArgs::Mode::Check || r.mode == RenderArgs::Mode::Describe || r.mode == RenderArgs::Mode::Link) {
        if (r.listings.empty()) return Usage(r.mode, "no listing given");
    } else if (single) {
        if (const std::optional<std::string> problem = SingleProblem(r)) return Usage(r.mode, *problem);
    } else if (r.listings.empty()) {
        return Usage(r.mode, "no listing given");
    } else if (!r.answer && std::find(args.begin(), args.end(), "--tolerance") != args.end()) {
        return Usage(r.mode, "--tolerance needs --answer");
    }
    return parsed;
}

}  // namespace kuv
