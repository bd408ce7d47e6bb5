#include "Runner.h"

#include "Cp932.h"
#include "Description.h"
#include "Explanations.h"
#include "RunHistory.h"
#include "Statements.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"

#include <algorithm>
#include <cstdio>

namespace kuv {

std::string_view TrimSpaces(std::string_view line) {
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    return line;
}

void UpperCaseLine(std::string& line) {
    for (std::size_t i = 0; i < line.size();) {
        const std::size_t n = CharLengthAt(line, i);
        if (n == 1 && line[i] >= 'a' && line[i] <= 'z') line[i] = static_cast<char>(line[i] - 'a' + 'A');
        i += n;
    }
}

std::string NormaliseLine(std::string_view line) {
    // The trim runs on the cut line, so spaces that the cut moves to the end
    // are trimmed as well.
    std::string s(TrimSpaces(CutToWholeChars(line, kMaxStringBytes)));
    UpperCaseLine(s);
    return s;
}

std::string ErrorLogLine(int lineNumber, std::string_view message) {
    char number[16];
    std::snprintf(number, sizeof number, "%3d", lineNumber);
    std::string out(number);
    out += msg::kLineSeparator;
    out += message;
    return out;
}

namespace {

void Draw(Picture& picture, int line, const LineVerdict& verdict) {
    if (const DrawRoutine draw = FormOf(verdict.kind)->draw) {
        picture.SetOwner(static_cast<Owner>(line));
        draw(picture, verdict.args);
    }
}

}  // namespace

void RunLines(const Listing& rewritten, Picture& picture, int after, int upTo) {
    for (int line = after + 1; line <= upTo; ++line) Draw(picture, line, CheckLine(rewritten.Get(line - 1)));
}

LineCheck CheckLineAt(std::string_view line, LinePlace place) {
    LineCheck c;
    const std::string normal = NormaliseLine(line);
    // A last line of spaces without a break after it is gone after the
    // rewrite; a blank or END first line ends the run before it starts.
    if (place.stopped || (normal.empty() && place.lastUnbroken)) return c;
    if (place.first && (normal.empty() || normal.substr(0, 3) == "END")) {
        c.endsRun = true;
        c.reached = !normal.empty();
        if (c.reached) c.verdict = CheckLine(normal);
        return c;
    }
    c.reached = true;
    c.verdict = CheckLine(normal);
    c.endsRun = c.verdict.kind == skEnd;
    return c;
}

std::vector<LineCheck> CheckListing(const Listing& listing) {
    std::vector<LineCheck> checks(static_cast<std::size_t>(listing.Count()));
    const std::string& text = listing.Text();
    const bool unbroken = text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") != 0;
    LinePlace place;
    int number = 0;
    for (int i = 0; i < listing.Count(); ++i) {
        const std::string_view line = listing.Get(i);
        if (line.empty()) continue;
        place.first = ++number == 1;
        place.lastUnbroken = unbroken && i == listing.Count() - 1;
        LineCheck& c = checks[static_cast<std::size_t>(i)];
        c = CheckLineAt(line, place);
        c.number = number;
        place.stopped = place.stopped || c.endsRun;
    }
    return checks;
}

RunResult RunProgram(Listing& listing, Picture& picture, RunHistory* history) {
    RunResult result;
    if (listing.Count() == 1 && listing.Get(0).empty()) return result;

    listing.DeleteEmptyLines();
    // Cutting and trimming (one pass), then upper-casing (the next) are done
    // together: the cut of an already cut line changes nothing.
    listing.RewriteLines(NormaliseLine);

    result.errorLogReset = true;
    const std::string_view first = listing.Get(0);
    if (first.empty() || first.substr(0, 3) == "END") return result;

    ClearPicture(picture);
    result.pictureCleared = true;
    if (history) history->Begin(listing.Count(), picture);
    // The Count read here is the one after the rewrite: a last line of
    // spaces has become empty and is no longer counted.
    for (int i = 0; i < listing.Count(); ++i) {
        const LineVerdict verdict = CheckLine(listing.Get(i));
        if (verdict.args.error) {
            result.error = RunError{i + 1, *verdict.args.error};
            result.errorLine = ErrorLogLine(i + 1, verdict.args.Msg);
            break;
        }
        ++result.statementsRun;
        if (verdict.kind == skEnd) break;
        if (PaintStartsOnBorder(picture, verdict)) result.paintsOnBorder.push_back(i + 1);
        if (FormOf(verdict.kind)->draw) {
            ++result.drawn;
            const int colour = NamedColourOf(verdict);
            if (std::find(result.colours.begin(), result.colours.end(), colour) == result.colours.end())
                result.colours.push_back(colour);
        }
        Draw(picture, i + 1, verdict);
        if (history) history->AfterLine(i + 1, picture);
    }
    return result;
}

}  // namespace kuv
