// The statements of the language: how a line is recognised and what each
// drawing statement takes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kuv {

class Picture;

enum StatementKind : int {
    skUnknown = 0,
    skLine = 1,
    skBox = 2,
    skCircle = 3,
    skArc = 4,
    skPaint = 5,
    skRem = 6,
    skEnd = 7,
    skPaint24 = 8,
    skText = 9,
};

// Why a line stops a run.
enum class ErrorKind { UnknownStatement, MissingParameter, NotANumber, OutOfRange };

struct StatementError {
    ErrorKind kind;
    std::string word;  // NotANumber, OutOfRange: the word at fault (CP932)
    bool operator==(const StatementError& o) const { return kind == o.kind && word == o.word; }
};

// The message of an error as the ErrorLog shows it: CP932, at most 255
// bytes. The one place where errors become text.
std::string ErrorMessage(const StatementError& error);

// What ParseStatement found: no error, and an empty Msg, when the statement
// can be drawn.
struct TStatementArgs {
    std::string Msg;                  // ErrorMessage(*error); CP932, at most 255 bytes
    std::array<std::int32_t, 6> Nums{};  // parameters in statement order
    std::string Text;                 // the string of TEXT, at most 255 bytes
    std::optional<StatementError> error;
    // The parameter (its index in the form) whose word the error names;
    // -1 for an error that names none.
    int errorParameter = -1;
};

// What a run does with one line of the rewritten listing when it reaches
// it: the statement, and for a drawing one its parameters, or the error
// that stops the run there.
struct LineVerdict {
    StatementKind kind;
    TStatementArgs args;
};
LineVerdict CheckLine(std::string_view normalLine);

// Messages of a run, in CP932.
namespace msg {
inline constexpr std::string_view kMissingParameter =  // 設定値が足りません
    "\x90\xdd\x92\xe8\x92\x6c\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
inline constexpr std::string_view kNotANumber =  // は数字ではありません
    "\x82\xcd\x90\x94\x8e\x9a\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
inline constexpr std::string_view kOutOfRange =  // は範囲外の数字です
    "\x82\xcd\x94\xcd\x88\xcd\x8a\x4f\x82\xcc\x90\x94\x8e\x9a\x82\xc5\x82\xb7";
inline constexpr std::string_view kUnknownStatement =  // 命令の間違い
    "\x96\xbd\x97\xdf\x82\xcc\x8a\xd4\x88\xe1\x82\xa2";
inline constexpr std::string_view kLineSeparator = "\x8d\x73\x81\x46";  // 行：
}  // namespace msg

// Limits on the fixed-size strings of a run.
inline constexpr std::size_t kMaxStringBytes = 255;

// A numeric parameter: its name where a statement's form is shown (the
// hints, the help page; UTF-8) and the numbers it takes.
struct Parameter {
    std::string_view name;
    std::int32_t lo, hi;
    // A colour number of the colour table.
    bool colour = false;
};

// Draws a statement whose parameters the parser accepted.
using DrawRoutine = void (*)(Picture&, const TStatementArgs&);

// Everything about one statement, in one row: how a line is recognised,
// the form its parameters take, and what draws it.
struct StatementForm {
    StatementKind kind;
    std::string_view word;
    // The exact leading bytes that recognise a normalised line: the word
    // and a space, or for REM and END the word alone.
    std::string_view prefix;
    std::array<Parameter, 6> parameters;
    int numbers;  // how many of the parameters there are
    // The word (counted from the statement's own, 0) that must be present.
    int needs;
    // LINE and BOX give up at the first word that is not a number; the
    // others convert every word.
    bool stopAtBadWord;
    // The name of what follows the numbers (TEXT's words, REM's comment);
    // empty for none.
    std::string_view rest;
    // Null for REM and END, which draw nothing.
    DrawRoutine draw;
    // What it draws, in the words of the Picture's description (UTF-8);
    // empty for REM and END.
    std::string_view shape;
};

// The statements in the order in which a line is recognised, which is the
// order of their kinds (1 to 9): only REM and END need no space, so only
// they could take a line meant for a later row.
extern const std::array<StatementForm, 9> kStatements;

// The row of a kind; null for skUnknown.
const StatementForm* FormOf(StatementKind kind);

// Picks the kind by the exact leading bytes of a normalised line.
StatementKind ClassifyStatement(std::string_view line);

// Splits a trimmed, upper-cased drawing statement into words, converts and
// range-checks its numbers. Never fails otherwise.
TStatementArgs ParseStatement(std::string_view line);
// The same for a line whose kind ClassifyStatement has already found.
TStatementArgs ParseStatement(std::string_view line, StatementKind kind);

// A parameter word as a 32-bit signed number: optional sign and decimal
// digits, or unsigned hexadecimal after "$", "X" or "0X" (at most eight
// significant digits, taken as 32 bits).
bool ConvertNumber(std::string_view word, std::int32_t& value);

}  // namespace kuv
