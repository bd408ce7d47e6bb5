// The listing as the runner sees it: lines of CP932 bytes, separated by
// CR LF, with the editor's line rules.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kuv {

class Listing {
public:
    Listing() = default;
    // Splits text at CR LF. A text that ends with CR LF has an empty last line.
    explicit Listing(std::string_view text);

    // The number of lines, less one when the last line is empty: the empty
    // text has Count 0, a lone CR LF has Count 1.
    int Count() const;
    // Line i without its break; a line that does not exist reads as empty.
    const std::string& Get(int i) const;
    // Replaces the bytes of line i (not its break); no effect past the end.
    void Put(int i, std::string s);
    // Removes line i with the break after it; the last line loses only its
    // bytes, so the break before it stays.
    void Delete(int i);
    // Removes every empty line among the counted ones, keeping their order;
    // the same as deleting them one by one from the top.
    void DeleteEmptyLines();

    // The text with CR LF between lines.
    std::string Text() const;
    // True once Put or Delete has run, even when the bytes stayed the same:
    // the editor counts every such edit as a change.
    bool Touched() const { return touched_; }

private:
    std::vector<std::string> lines_{std::string()};
    bool touched_ = false;
};

}  // namespace kuv
