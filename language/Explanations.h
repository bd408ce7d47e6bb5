// What a line's problem means, in plain Japanese, and how to mend it: an
// explanation for every line at which a run would stop, with the fixed
// line where the intended one is certain, and warnings for valid lines
// whose drawing may surprise. Pure functions, the same for every front-end
// and for kuv-render; the ErrorLog lines themselves are Runner.h's.
#pragma once

#include "Runner.h"
#include "Statements.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kuv {

// The mistakes an explanation can name; each has one text in the table of
// explanations.
enum class Mistake {
    FullWidth,         // the input method left on
    Separator,         // commas or the like between the numbers
    NoSpace,           // the word run into the first number
    Misspelt,          // one statement word is near
    Unsure,            // two or more are equally near
    UnknownWord,       // none is near
    LettersForDigits,  // O, I or L among digits
    Decimal,           // a decimal point
    NotANumber,
    TooBig,
    TooSmall,
    TextTooLow,  // TEXT's y below 10
    Missing,
};

// The explanation of a line at which a run would stop, and its fix.
struct Advice {
    Mistake mistake;
    std::u16string explanation;  // one or two sentences: what is wrong, then what to do
    // The fixed line in normal form (CP932), which the parser accepts;
    // none where the intended line is not certain.
    std::optional<std::string> fix;
};

// The advice for a line (CP932, as typed or in normal form) whose check
// has an error; none for a line that parses clean.
std::optional<Advice> ExplainLine(std::string_view line);

// The kinds of warning: lines that run, but not as their writer may think.
enum class WarningKind {
    UnusedWords,    // words after the last number that the statement ignores
    UndrawnText,    // TEXT's words past the third
    EmptyLine,      // a LINE from a point to itself
    EmptyBox,       // a BOX whose corners are one point
    EmptyCircle,    // a CIRCLE of radius 0
    EmptyArc,       // an ARC whose pen never moves, or whose steps run backwards
    PaintOnBorder,  // a fill that starts on its border colour (from a run)
};

struct Warning {
    WarningKind kind;
    std::u16string message;      // the short text the mark shows first
    std::u16string explanation;  // then this
};

// The warnings of a line that parses clean, from its text alone (CP932,
// as typed or in normal form).
std::vector<Warning> LineWarnings(std::string_view line);

// The warning for a PAINT or PAINT24 line that a run found starting on a
// pixel of its border colour.
Warning PaintOnBorderWarning(std::string_view line);

// Whether a fill with these parameters, drawn now into the picture, would
// start on its border colour and so paint nothing: the run asks this just
// before it draws the line.
bool PaintStartsOnBorder(const Picture& picture, const LineVerdict& verdict);

// The Damerau distance (with adjacent transpositions) between two words,
// and how far a misspelt word of the given length may be from a statement
// word: 1 edit for 2 to 4 letters, 2 for 5 to 8, 3 beyond; none for one.
int EditDistance(std::string_view a, std::string_view b);
int AllowedDistance(std::size_t length);

// What only a run can find: the fills that started on their border, by
// the lines as that run numbered and read them.
struct RunFindings {
    std::vector<int> paintsOnBorder;  // ascending
    Listing rewritten;
};

// A problem of one line, as the live checks and kuv-render --check list it.
struct Problem {
    int line = 0;      // the listing's line, from 1
    int runLine = 0;   // its number in the rewritten listing
    bool error = false;  // else a warning
    std::u16string message;  // the ErrorLog line, or the warning's text
    std::u16string explanation;
    std::optional<std::string> fix;  // CP932, normal form
};

// The problems of one line (CP932) at its check: its error, explained, or
// its warnings. runLine is the line's number as the last run would have
// numbered it; the run's own warning applies only while the line reads as
// that run read it, so an edit of the line ends it.
std::vector<Problem> ProblemsOfLine(std::string_view line, const LineCheck& check, int runLine = 0,
                                    const RunFindings* run = nullptr);

// Every problem of a listing, in the order of its lines; from its checks
// (CheckListing) where the caller has them already.
std::vector<Problem> ListProblems(const Listing& listing, const RunFindings* run = nullptr);
std::vector<Problem> ListProblems(const Listing& listing, const std::vector<LineCheck>& checks, const RunFindings* run);

// The error that stopped a run, as a problem of its line in the rewritten
// listing.
Problem ProblemOfRunError(const Listing& rewritten, const RunError& error);

// The caption of the command that puts a fixed line in place of a line.
std::u16string FixCaption(std::u16string_view fixedLine);
// What a marked line's tip says, one part per line: the ErrorLog line or
// the warning, its explanation, then the fix's caption where there is one.
std::u16string ProblemTip(const Problem& problem);

}  // namespace kuv
