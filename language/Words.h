// How a statement is split into words: runs of characters between runs of
// U+0020 (byte 0x20 in a listing, the same unit in the editor's UTF-16), at
// most seven words, everything after the seventh ignored. One splitter for
// the parser (bytes) and the editor's styles (UTF-16).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace kuv {

inline constexpr int kWordCount = 7;

struct WordSpan {
    std::size_t start = 0, length = 0;
};

// The words of a line, leading spaces skipped; count says how many there
// are, and the rest of the array stays empty. Tabs, commas and full-width
// spaces are part of a word.
template <class Char>
struct Words {
    std::array<WordSpan, kWordCount> at{};
    int count = 0;
    std::basic_string_view<Char> line;

    std::basic_string_view<Char> operator[](int w) const {
        return w < count ? line.substr(at[static_cast<std::size_t>(w)].start, at[static_cast<std::size_t>(w)].length)
                         : std::basic_string_view<Char>();
    }
    // Just past the end of word w.
    std::size_t End(int w) const { return at[static_cast<std::size_t>(w)].start + at[static_cast<std::size_t>(w)].length; }
};

template <class Char>
Words<Char> SplitWords(std::basic_string_view<Char> line) {
    Words<Char> words;
    words.line = line;
    std::size_t i = 0;
    while (i < line.size() && line[i] == Char(' ')) ++i;
    while (i < line.size() && words.count < kWordCount) {
        std::size_t end = i;
        while (end < line.size() && line[end] != Char(' ')) ++end;
        words.at[static_cast<std::size_t>(words.count++)] = {i, end - i};
        i = end;
        while (i < line.size() && line[i] == Char(' ')) ++i;
    }
    return words;
}

}  // namespace kuv
