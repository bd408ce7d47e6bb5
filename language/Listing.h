// The listing as the runner sees it: lines of CP932 bytes, separated by
// CR LF, with the editor's line rules.
//
// The text is kept as the one byte string it arrived as, with no table of
// lines: a listing of a hundred million empty lines costs its bytes and
// nothing more. Lines are found by scanning from the line last found, so
// reading the lines in order costs one pass; the run's rewrites are whole
// passes of their own (DeleteEmptyLines, RewriteLines).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kuv {

class Listing {
public:
    Listing() = default;
    // Splits text at CR LF. A text that ends with CR LF has an empty last line.
    explicit Listing(std::string text);

    // The number of lines, less one when the last line is empty: the empty
    // text has Count 0, a lone CR LF has Count 1.
    int Count() const;
    // Line i without its break; a line that does not exist reads as empty.
    // The view holds until the next change of the listing.
    std::string_view Get(int i) const;
    // Replaces the bytes of line i (not its break); no effect past the end.
    void Put(int i, std::string_view s);
    // Removes line i with the break after it; the last line loses only its
    // bytes, so the break before it stays.
    void Delete(int i);
    // Removes every empty line among the counted ones, keeping their order;
    // the same as deleting them one by one from the top.
    void DeleteEmptyLines();
    // Puts rewrite(line) in place of every counted line, from the top: the
    // same as Get and Put line by line, in one pass while no line grows (the
    // run only shortens lines); a line that grows moves the rest once.
    using LineRewrite = std::string (*)(std::string_view line);
    void RewriteLines(LineRewrite rewrite);

    // The text with CR LF between lines.
    const std::string& Text() const { return text_; }
    // True once Put or Delete has run, even when the bytes stayed the same:
    // the editor counts every such edit as a change.
    bool Touched() const { return touched_; }

private:
    // Start of line i (i < lines_), found from the last line found.
    std::size_t StartOf(std::size_t i) const;
    // End of the line that starts at start: its break, or the text's end.
    std::size_t EndOf(std::size_t start) const;
    bool LastLineEmpty() const;

    // Counts the lines of the text anew.
    void Recount();
    // Forgets the line last found, after the text changed.
    void ForgetPlaces();

    std::string text_;
    std::size_t lines_ = 1;  // the empty text is one empty line
    bool mayHaveEmptyLines_ = false;
    bool touched_ = false;

    static constexpr std::size_t kUnknown = static_cast<std::size_t>(-1);
    mutable std::size_t cachedLine_ = 0;          // the line last found
    mutable std::size_t cachedStart_ = 0;         // ... where it starts
    mutable std::size_t cachedEnd_ = kUnknown;    // ... and ends
};

}  // namespace kuv
