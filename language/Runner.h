// The Run command's logic: normalise the listing, then execute it into the
// Picture until END, the last line or the first error.
#pragma once

#include "Listing.h"
#include "Statements.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuv {

class Picture;

// Removes leading, then trailing bytes 0x20; no other blank.
std::string_view TrimSpaces(std::string_view line);
// Upper-cases single-byte a-z in place; double-byte characters stay whole.
void UpperCaseLine(std::string& line);
// Cut to 255 bytes (never inside a character), trimmed and upper-cased.
std::string NormaliseLine(std::string_view line);
// "%3d" + "行：" + message, in CP932.
std::string ErrorLogLine(int lineNumber, std::string_view message);

// The error that stopped a run, and its line in the rewritten listing.
struct RunError {
    int line;
    StatementError what;
};

// What a run asks of the windows around it, in the order it happened.
struct RunResult {
    // The run got as far as clearing the ErrorLog and hiding the error window.
    bool errorLogReset = false;
    // The error that stopped the run, if any.
    std::optional<RunError> error;
    // Its ErrorLog line to show (CP932); empty when the run met no error.
    std::string errorLine;
    // The run cleared the Picture and drew from its first line: the Picture
    // is this listing's drawing.
    bool pictureCleared = false;
    // The lines the run executed, REM and END among them; a failing line is
    // not counted.
    int statementsRun = 0;
    // The PAINT and PAINT24 lines that started on their border colour and
    // so painted nothing.
    std::vector<int> paintsOnBorder;
    // How many drawing statements it executed, and the named colours they
    // drew in, in the order of first use (PAINT24: the nearest named colour):
    // the Picture's summary, at no cost after the run.
    int drawn = 0;
    std::vector<int> colours;
};

class RunHistory;

// What a run would make of one line of the editor's listing.
struct LineCheck {
    int number = 0;        // in the rewritten listing; 0 for a line the rewrite deletes
    bool reached = false;  // a run gets to it (no END and no blank first line before it)
    LineVerdict verdict;   // for a line reached: its statement, or its error
    // The run stops at this line without an error (END, or a blank or END
    // first line): no later line is reached.
    bool endsRun = false;
};

// Where a line of the editor's listing stands, as far as the run's rules
// about stopping go.
struct LinePlace {
    bool first = false;         // the first line that the rewrite keeps
    bool stopped = false;       // an earlier line ends the run
    bool lastUnbroken = false;  // the listing's last line, with no line break after it
};

// The check of one line that is not empty (the rewrite deletes empty
// ones), at its place, its number left 0: the one rule of the live checks,
// for CheckListing and for editors that check only the lines they show.
LineCheck CheckLineAt(std::string_view line, LinePlace place);

// Every line checked as Run would check it, each as if the lines before it
// were clean: the verdicts of the live checks. Pure; the listing is not
// rewritten.
std::vector<LineCheck> CheckListing(const Listing& listing);

// Steps 2 to 10 of the Run command on the editor's listing. The listing is
// rewritten in place; listing.Touched() tells whether the editor was edited.
// A history, if given, keeps what it needs to show the Picture as it stood
// after any line of the run.
RunResult RunProgram(Listing& listing, Picture& picture, RunHistory* history = nullptr);

// Runs lines after..upTo (1-based) of a rewritten listing that a run has
// already got through, into a Picture that holds the drawing up to line
// after: the same drawing calls, the same owners.
void RunLines(const Listing& rewritten, Picture& picture, int after, int upTo);

}  // namespace kuv
