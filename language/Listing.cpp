#include "Listing.h"

#include <algorithm>

namespace kuv {

Listing::Listing(std::string_view text) {
    lines_.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t brk = text.find("\r\n", start);
        if (brk == std::string_view::npos) break;
        lines_.emplace_back(text.substr(start, brk - start));
        start = brk + 2;
    }
    lines_.emplace_back(text.substr(start));
}

int Listing::Count() const {
    const int n = static_cast<int>(lines_.size());
    return lines_.back().empty() ? n - 1 : n;
}

const std::string& Listing::Get(int i) const {
    static const std::string empty;
    return (i >= 0 && i < static_cast<int>(lines_.size())) ? lines_[i] : empty;
}

void Listing::Put(int i, std::string s) {
    if (i < 0 || i >= static_cast<int>(lines_.size())) return;
    lines_[i] = std::move(s);
    touched_ = true;
}

void Listing::Delete(int i) {
    if (i < 0 || i >= static_cast<int>(lines_.size())) return;
    if (i + 1 == static_cast<int>(lines_.size()))
        lines_[i].clear();
    else
        lines_.erase(lines_.begin() + i);
    touched_ = true;
}

void Listing::DeleteEmptyLines() {
    // Deleting a counted line never reaches the last line (an empty last line
    // is not counted), so deleting one by one equals a stable compaction of
    // the counted lines; done at once it stays linear for huge listings.
    const auto counted = lines_.begin() + Count();
    const auto kept = std::remove_if(lines_.begin(), counted, [](const std::string& s) { return s.empty(); });
    if (kept == counted) return;
    lines_.erase(kept, counted);
    touched_ = true;
}

std::string Listing::Text() const {
    std::size_t size = 0;
    for (const auto& l : lines_) size += l.size() + 2;
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i) out += "\r\n";
        out += lines_[i];
    }
    return out;
}

}  // namespace kuv
