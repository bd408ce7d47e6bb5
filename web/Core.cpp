// The core as the page calls it, through a C interface. Text crosses as
// UTF-16 (the editor's, lines separated by LF) or as a listing file's bytes;
// results stay in this module until the next call of the same kind, and
// the page copies them out.
#include "language/Cp932.h"
#include "language/Description.h"
#include "language/Explanations.h"
#include "language/LineStyle.h"
#include "language/Link.h"
#include "language/Listing.h"
#include "language/ListingText.h"
#include "language/Messages.h"
#include "language/PointInfo.h"
#include "language/RunHistory.h"
#include "language/Runner.h"
#include "picture/Bmp.h"
#include "picture/Highlight.h"
#include "picture/Jpeg.h"
#include "picture/Picture.h"

#include <emscripten.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Core {
    kuv::Picture picture;
    kuv::RunHistory history;
    std::optional<kuv::Listing> paintedBy;  // the rewritten listing of the last run
    std::string errorLine;
    std::u16string explanation;  // of the last run's error
    kuv::RunFindings findings;   // of the last run
    int linesRun = 0;            // the lines the last run executed
    std::u16string told;         // the Picture in words after it, and what changed
    std::optional<kuv::RunStatements> statements;  // what the run before drew
    std::vector<std::uint8_t> bytes;  // BMP, JPEG or a listing file
    std::vector<std::uint8_t> rgba;
    std::vector<std::int32_t> numbers;
    std::u16string text;
};

Core& The() {
    static Core core;
    return core;
}

std::u16string_view Utf16(const char16_t* text, int length) { return {text, static_cast<std::size_t>(length)}; }

std::u16string Ascii(const std::string& s) { return {s.begin(), s.end()}; }

// An answer of many texts: each its length in decimal, ":" and the text,
// so that any character may stand in one.
void AppendField(std::u16string& out, const std::u16string& field) { out += Ascii(std::to_string(field.size())) + u':' + field; }

const char16_t* Answer(std::u16string text, int* length) {
    The().text = std::move(text);
    *length = static_cast<int>(The().text.size());
    return The().text.data();
}

const std::uint8_t* Bytes(std::vector<std::uint8_t> bytes, int* size) {
    The().bytes = std::move(bytes);
    *size = static_cast<int>(The().bytes.size());
    return The().bytes.data();
}

// A Picture as a canvas takes it (R, G, B, A), on the highlighted beat of
// a stage of line when mark is set.
const std::uint8_t* Rgba(const kuv::Picture& picture, kuv::Owner mark) {
    std::vector<std::uint8_t>& out = The().rgba;
    constexpr std::size_t kPixels = std::size_t{kuv::Picture::kWidth} * kuv::Picture::kHeight;
    out.resize(kPixels * 4);
    static std::vector<kuv::Pixel> frame(kPixels);
    kuv::StageFrame(picture, mark, mark != 0, frame.data());
    for (std::size_t i = 0; i < kPixels; ++i) {
        const kuv::Pixel c = frame[i];
        out[4 * i] = static_cast<std::uint8_t>(c >> 16);
        out[4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        out[4 * i + 2] = static_cast<std::uint8_t>(c);
        out[4 * i + 3] = 255;
    }
    return out.data();
}

bool InPicture(int x, int y) { return x >= 0 && x < kuv::Picture::kWidth && y >= 0 && y < kuv::Picture::kHeight; }

kuv::StatementKind KindOf(std::u16string_view line) {
    return kuv::CheckLine(kuv::NormaliseLine(kuv::EncodeCp932(line))).kind;
}

}  // namespace

extern "C" {

// Runs a listing (CP932 bytes with CR LF) as the Run command does, keeping
// the owners and stages of the Picture; returns 1 when it stopped at an
// error, else 0.
EMSCRIPTEN_KEEPALIVE int kuv_run(const char* listing, int size) {
    Core& core = The();
    kuv::Listing text(std::string(listing, static_cast<std::size_t>(size)));
    core.picture = kuv::Picture();
    core.picture.RecordOwners();
    const kuv::RunResult result = kuv::RunProgram(text, core.picture, &core.history);
    core.explanation = result.error ? kuv::ProblemOfRunError(text, *result.error).explanation : std::u16string();
    core.findings = {result.paintsOnBorder, result.paintsOnBorder.empty() ? kuv::Listing() : text};
    core.linesRun = result.statementsRun;
    if (result.pictureCleared) {
        core.told = kuv::SummaryOfRun(result);
        kuv::RunStatements now = kuv::StatementsRun(text, result.statementsRun);
        if (core.statements) core.told += u' ' + kuv::DescribeChange(*core.statements, now);
        core.statements = std::move(now);
    }
    core.paintedBy = std::move(text);
    core.errorLine = result.errorLine;
    return result.error ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE int kuv_run_text(const char16_t* text, int length) {
    const std::string bytes = kuv::EncodeCp932Lines(Utf16(text, length));
    return kuv_run(bytes.data(), static_cast<int>(bytes.size()));
}

// A run into scratch, made while the page waits for its user: the first
// Run then finds its memory in place, as every later one does.
EMSCRIPTEN_KEEPALIVE void kuv_warm() {
    kuv::Listing listing(std::string("CIRCLE 320 240 100 0\r\nEND\r\n"));
    kuv::Picture scratch;
    scratch.RecordOwners();
    kuv::RunHistory history;
    kuv::RunProgram(listing, scratch, &history);
    The().rgba.resize(std::size_t{kuv::Picture::kWidth} * kuv::Picture::kHeight * 4);
}

// The last run's rewritten listing (0), ErrorLog line (1) or the
// explanation of its error (2), as the page shows it.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_text(int which, int* length) {
    const Core& core = The();
    if (which == 2) return Answer(core.explanation, length);
    return Answer(kuv::DecodeCp932Lines(which == 0 ? (core.paintedBy ? core.paintedBy->Text() : std::string()) : core.errorLine),
                  length);
}

// A listing file's bytes as the editor takes them (the Open command's
// rules; bytes that are not text kept as stand-ins).
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_load(const char* bytes, int size, int* length) {
    return Answer(kuv::DecodeCp932Lines(kuv::NormaliseLoadedText(std::string_view(bytes, static_cast<std::size_t>(size)))), length);
}

// The link that hands the editor's text out, from the page's address:
// two fields, the link and the message of a link that cannot be made
// (one of them empty).
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_link(const char16_t* base, int baseLength, const char16_t* text, int length,
                                              int* answerLength) {
    const kuv::MadeLink made =
        kuv::LinkOfListing(kuv::Utf16ToUtf8(Utf16(base, baseLength)), kuv::EncodeCp932Lines(Utf16(text, length)));
    std::u16string out;
    AppendField(out, Ascii(made.link));
    AppendField(out, kuv::ErrorBoxText(kuv::LinkProblemText(made.problem)));
    return Answer(std::move(out), answerLength);
}

// The listing of a link (or its fragment) as the editor takes it: two
// fields, the text and the message of a link that cannot be opened (the
// text is then empty).
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_open_link(const char16_t* link, int length, int* answerLength) {
    const kuv::OpenedLink opened = kuv::ListingOfLink(kuv::Utf16ToUtf8(Utf16(link, length)));
    std::u16string out;
    AppendField(out, opened.problem == kuv::LinkProblem::None ? kuv::DecodeCp932Lines(kuv::NormaliseLoadedText(opened.listing))
                                                              : std::u16string());
    AppendField(out, kuv::ErrorBoxText(kuv::LinkProblemText(opened.problem)));
    return Answer(std::move(out), answerLength);
}

// The editor's text as a listing file's bytes (CP932, CR LF).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* kuv_save(const char16_t* text, int length, int* size) {
    const std::string bytes = kuv::EncodeCp932Lines(Utf16(text, length));
    return Bytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), size);
}

// The live checks of the editor's text: the number of the first line that
// no run reaches (0 for none), then every problem as its fields (line,
// "e" or "w", message, explanation, fixed line, the fix's caption), each
// field its length in decimal, ":" and its text, so that any character may
// stand in it.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_check(const char16_t* text, int length, int* answerLength) {
    const kuv::Listing listing(kuv::EncodeCp932Lines(Utf16(text, length)));
    std::u16string out;
    const auto field = [&out](const std::u16string& f) { AppendField(out, f); };
    const std::vector<kuv::LineCheck> checks = kuv::CheckListing(listing);
    std::size_t unreached = 0;
    for (std::size_t i = 0; i < checks.size() && unreached == 0; ++i)
        if (!checks[i].reached) unreached = i + 1;
    field(Ascii(std::to_string(unreached)));
    for (const kuv::Problem& p : kuv::ListProblems(listing, checks, &The().findings)) {
        const std::u16string fixed = p.fix ? kuv::DecodeCp932(*p.fix) : std::u16string();
        field(Ascii(std::to_string(p.line)));
        field(p.error ? u"e" : u"w");
        field(p.message);
        field(p.explanation);
        field(fixed);
        field(p.fix ? kuv::FixCaption(fixed) : std::u16string());
    }
    return Answer(std::move(out), answerLength);
}

// What the editor shows of one line: [count of spans, then start, length,
// role, parameter of each; count of swatches, then after, colour
// (0x00BBGGRR) of each].
EMSCRIPTEN_KEEPALIVE const std::int32_t* kuv_line_style(const char16_t* line, int length) {
    const std::u16string_view text = Utf16(line, length);
    const kuv::StatementKind kind = KindOf(text);
    std::vector<std::int32_t>& out = The().numbers;
    out.clear();
    const std::vector<kuv::Span> spans = kuv::LineSpans(text, kind);
    out.push_back(static_cast<std::int32_t>(spans.size()));
    for (const kuv::Span& s : spans) out.insert(out.end(), {s.start, s.length, static_cast<std::int32_t>(s.role), s.parameter});
    const std::vector<kuv::Swatch> swatches = kuv::LineSwatches(text, kind);
    out.push_back(static_cast<std::int32_t>(swatches.size()));
    for (const kuv::Swatch& s : swatches) out.insert(out.end(), {s.after, static_cast<std::int32_t>(s.colour)});
    return out.data();
}

// The hint for the line as typed with the caret at position (the core's
// HintAt, its marks U+0001 and U+0002); empty for a line that names no
// statement.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_hint(const char16_t* line, int length, int position, int* answerLength) {
    return Answer(kuv::HintAt(Utf16(line, length), position), answerLength);
}

// The error box's text of a failure (kuv::Failure's order), with the name
// of its file or libjpeg's number.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_failure(int failure, const char16_t* name, int nameLength, int code, int* length) {
    return Answer(kuv::ErrorBoxText(kuv::FailureMessage(static_cast<kuv::Failure>(failure), Utf16(name, nameLength), code)),
                  length);
}

// The name a save writes for the name chosen, with its suffix.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_completed_name(const char16_t* chosen, int chosenLength, const char16_t* suffix, int suffixLength,
                                   int* length) {
    return Answer(kuv::CompletedFileName(Utf16(chosen, chosenLength), Utf16(suffix, suffixLength)), length);
}

EMSCRIPTEN_KEEPALIVE const char16_t* kuv_base_name(const char16_t* path, int pathLength, int* length) {
    return Answer(kuv::BaseName(Utf16(path, pathLength)), length);
}

// What inserting a point puts at the caret, between the characters before
// and after it (0 for the line's start or end).
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_point_insertion(int x, int y, int before, int after, int* length) {
    return Answer(kuv::PointInsertion(x, y, static_cast<char16_t>(before), static_cast<char16_t>(after)), length);
}

// The replay's beat in milliseconds and lines a beat, for the last run.
EMSCRIPTEN_KEEPALIVE int kuv_replay_interval() { return kuv::ReplayScheduleFor(The().history.LastLine()).intervalMs; }
EMSCRIPTEN_KEEPALIVE int kuv_replay_step() { return kuv::ReplayScheduleFor(The().history.LastLine()).step; }
EMSCRIPTEN_KEEPALIVE int kuv_replay_last_ms() { return kuv::kReplayLastStageMs; }
EMSCRIPTEN_KEEPALIVE int kuv_blink_ms() { return kuv::kBlinkMs; }

// The Picture's size, as the core has it.
EMSCRIPTEN_KEEPALIVE int kuv_width() { return kuv::Picture::kWidth; }
EMSCRIPTEN_KEEPALIVE int kuv_height() { return kuv::Picture::kHeight; }

// The last run's Picture for a canvas.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* kuv_rgba() { return Rgba(The().picture, 0); }

// The Picture just after line ran, on the highlighted beat of its line
// when mark is set; the number of lines that ran is kuv_last_line().
EMSCRIPTEN_KEEPALIVE const std::uint8_t* kuv_stage(int line, int mark) {
    Core& core = The();
    if (!core.paintedBy || core.history.Empty()) return Rgba(core.picture, 0);
    const int shown = std::min(line, core.history.LastLine());
    return Rgba(core.history.PictureAfter(line, *core.paintedBy), mark ? static_cast<kuv::Owner>(shown) : 0);
}

EMSCRIPTEN_KEEPALIVE int kuv_last_line() { return The().history.LastLine(); }

// The tooltip's words for a point in KUV's coordinates (y upwards).
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_describe(int x, int y, int* length) {
    if (!InPicture(x, y)) return Answer(u"", length);
    const Core& core = The();
    return Answer(kuv::DescribePoint(core.picture, x, y, core.paintedBy ? &*core.paintedBy : nullptr), length);
}

// The line of the last run that painted a point last; 0 for none.
EMSCRIPTEN_KEEPALIVE int kuv_owner(int x, int y) {
    return InPicture(x, y) ? static_cast<int>(The().picture.OwnerAt(x, kuv::Picture::RowOf(y))) : 0;
}

// Clear: the Picture white, as the Clear command leaves it; the last run's
// owners and stages are gone with its drawing.
EMSCRIPTEN_KEEPALIVE void kuv_clear() {
    The().picture = kuv::Picture();
    The().paintedBy.reset();
    The().history.Clear();
    The().statements.reset();
    The().linesRun = 0;
    The().told = kuv::SummaryOfRun(kuv::RunResult{});
}

// What a run tells assistive tools: the Picture's summary and what changed
// since the run before.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_told(int* length) { return Answer(The().told, length); }

// 絵の説明: the summary, then each item's line and words, every field its
// length in decimal, ":" and its text.
EMSCRIPTEN_KEEPALIVE const char16_t* kuv_picture_words(int* length) {
    const Core& core = The();
    const kuv::Description d = core.paintedBy ? kuv::DescribeRun(*core.paintedBy, core.linesRun, core.picture)
                                              : kuv::Description{kuv::SummaryOfRun(kuv::RunResult{}), {}};
    std::u16string out;
    const auto field = [&out](const std::u16string& f) { AppendField(out, f); };
    field(d.summary);
    for (const kuv::DescribedItem& item : d.items) {
        field(Ascii(std::to_string(item.line)));
        field(item.words);
    }
    return Answer(std::move(out), length);
}

EMSCRIPTEN_KEEPALIVE const std::uint8_t* kuv_bmp(int* size) { return Bytes(kuv::EncodeBmp(The().picture), size); }

// The Picture as the JPG export writes it; size 0 when libjpeg failed, with
// its message number in *error (0 for memory).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* kuv_jpeg(int* size, int* error) {
    kuv::JpegResult result = kuv::EncodeJpeg(The().picture);
    *error = result.errorCode;
    return Bytes(result.Ok() ? std::move(result.bytes) : std::vector<std::uint8_t>(), size);
}
}
