// What the editor shows of a line as it is written: which part of it is
// which (statement word, numbers, text, comment), the colours its numbers
// name, and the parameter under the caret. Pure functions over the line as
// the editor holds it (UTF-16), so that every front-end shows the same.
#pragma once

#include "Statements.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kuv {

enum class Role { Word, Number, Text, Comment, Unknown };

// A run of the line's characters and what it is. A number's parameter is
// its index in the statement's form; -1 for anything else.
struct Span {
    int start, length;
    Role role;
    int parameter = -1;
};

// The spans of a line whose normal form is of the given kind: the whole
// line for REM (a comment) and for an unrecognised line; else the
// statement's word, its numbers, and the words after them (TEXT's text,
// or words that the statement ignores, as Unknown).
std::vector<Span> LineSpans(std::u16string_view line, StatementKind kind);

// A colour that a line names, and after which of its characters it is
// shown: a colour parameter's number in range, or PAINT24's colour after
// its last number. Colours are 0x00BBGGRR.
struct Swatch {
    int after;  // the index just past the number
    std::uint32_t colour;
};
std::vector<Swatch> LineSwatches(std::u16string_view line, StatementKind kind);

// The index (into the form's parameters) of the parameter that the caret
// at position is in or about to type; -1 on the statement's word, and the
// form's number of parameters past them (TEXT's text).
int ParameterAt(std::u16string_view line, int position);

// The statement a line names as it is being typed: its leading spaces
// skipped and its letters upper-cased, as the run's rewrite does, but its
// trailing spaces kept, so that "ARC " names ARC the moment its space is
// typed (the rewrite would trim it back to the unknown "ARC").
StatementKind KindAsTyped(std::u16string_view line);

// The hint for a line as typed with the caret at position: HintText for
// its statement and the parameter under the caret; empty for a line that
// names no statement.
std::u16string HintAt(std::u16string_view line, int position);

// What inserting the point (x, y) at the caret puts there: "x y", with a
// space in front unless the character before is a space or the caret is at
// the line's start (before 0), and one behind unless a space follows or the
// line ends (after 0), so the numbers never run into a word.
std::u16string PointInsertion(int x, int y, char16_t before, char16_t after);

// The hint for a statement with the caret in the given parameter (as
// ParameterAt gives it): the statement's form (its word, its parameters'
// names, what follows them) with the parameter under the caret between
// kHintMarkStart and kHintMarkEnd; then that parameter's range; for a
// colour parameter, a line break and the colours' numbers and names.
inline constexpr char16_t kHintMarkStart = u'\x01';
inline constexpr char16_t kHintMarkEnd = u'\x02';
std::u16string HintText(const StatementForm& form, int parameter);

}  // namespace kuv
