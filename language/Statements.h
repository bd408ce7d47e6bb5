// The statements of the language: how a line is recognised and what each
// drawing statement takes.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kuv {

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

// What ParseStatement found: an empty Msg means the statement can be drawn.
struct TStatementArgs {
    std::string Msg;                  // CP932, at most 255 bytes
    std::array<std::int32_t, 6> Nums{};  // parameters in statement order
    std::string Text;                 // the string of TEXT, at most 255 bytes
};

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

// Picks the kind by the exact leading bytes of a normalised line.
StatementKind ClassifyStatement(std::string_view line);

// Splits a trimmed, upper-cased drawing statement into words, converts and
// range-checks its numbers. Never fails otherwise.
TStatementArgs ParseStatement(std::string_view line);

// A parameter word as a 32-bit signed number: optional sign and decimal
// digits, or unsigned hexadecimal after "$", "X" or "0X" (at most eight
// significant digits, taken as 32 bits).
bool ConvertNumber(std::string_view word, std::int32_t& value);

}  // namespace kuv
