#include "Listing.h"

#include <cstring>

namespace kuv {
namespace {

constexpr std::string_view kBreak = "\r\n";

// Where the first CR LF at or after p lies, or end.
const char* FindBreak(const char* p, const char* end) {
    for (;;) {
        const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
        if (!cr) return end;
        p = static_cast<const char*>(cr);
        if (p + 1 < end && p[1] == '\n') return p;
        ++p;
    }
}

struct Breaks {
    std::size_t count = 0;
    bool emptyLine = false;  // a break at the start, or right after another
};

// The CR LFs of the text; the pattern cannot overlap itself, so these are
// the breaks that a scan from the top finds.
Breaks FindBreaks(std::string_view text) {
    Breaks b;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* lineStart = begin;
    for (const char* p = FindBreak(begin, end); p != end; p = FindBreak(lineStart, end)) {
        if (p == lineStart) b.emptyLine = true;
        ++b.count;
        lineStart = p + kBreak.size();
    }
    return b;
}

}  // namespace

Listing::Listing(std::string text) : text_(std::move(text)) { Recount(); }

void Listing::Recount() {
    const Breaks b = FindBreaks(text_);
    lines_ = b.count + 1;
    mayHaveEmptyLines_ = b.emptyLine;
}

bool Listing::LastLineEmpty() const {
    return text_.empty() || (text_.size() >= 2 && std::string_view(text_).substr(text_.size() - 2) == kBreak);
}

int Listing::Count() const { return static_cast<int>(LastLineEmpty() ? lines_ - 1 : lines_); }

std::size_t Listing::EndOf(std::size_t start) const {
    return static_cast<std::size_t>(FindBreak(text_.data() + start, text_.data() + text_.size()) - text_.data());
}

std::size_t Listing::StartOf(std::size_t i) const {
    if (i < cachedLine_ || cachedEnd_ == kUnknown) cachedLine_ = 0, cachedStart_ = 0, cachedEnd_ = EndOf(0);
    while (cachedLine_ < i) {
        cachedStart_ = cachedEnd_ + kBreak.size();
        cachedEnd_ = EndOf(cachedStart_);
        ++cachedLine_;
    }
    return cachedStart_;
}

std::string_view Listing::Get(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= lines_) return {};
    const std::size_t start = StartOf(static_cast<std::size_t>(i));
    return std::string_view(text_).substr(start, cachedEnd_ - start);
}

void Listing::ForgetPlaces() { cachedLine_ = 0, cachedStart_ = 0, cachedEnd_ = kUnknown; }

void Listing::Put(int i, std::string_view s) {
    if (i < 0 || static_cast<std::size_t>(i) >= lines_) return;
    const std::size_t start = StartOf(static_cast<std::size_t>(i));
    text_.replace(start, EndOf(start) - start, s);
    // A CR at the end of s followed by the break, or an LF at its start after
    // a CR, would change where lines end; the runner never puts either, but
    // the count must stay true whatever is put.
    Recount();
    ForgetPlaces();
    touched_ = true;
}

void Listing::Delete(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= lines_) return;
    const std::size_t start = StartOf(static_cast<std::size_t>(i));
    if (static_cast<std::size_t>(i) + 1 == lines_) {
        text_.erase(start);
    } else {
        text_.erase(start, cachedEnd_ + kBreak.size() - start);
        --lines_;
    }
    mayHaveEmptyLines_ = true;
    ForgetPlaces();
    touched_ = true;
}

void Listing::DeleteEmptyLines() {
    // Deleting a counted line never reaches the last line (an empty last line
    // is not counted), so deleting one by one equals a stable compaction of
    // the counted lines, done here in place in one pass.
    // Most listings have no empty line, and are left as they are at once.
    if (!mayHaveEmptyLines_) return;
    const std::size_t counted = static_cast<std::size_t>(Count());
    std::size_t read = 0, write = 0, kept = 0;
    for (std::size_t line = 0; line < counted; ++line) {
        const std::size_t end = EndOf(read);
        const std::size_t next = end < text_.size() ? end + kBreak.size() : end;
        if (end > read) {
            if (write != read) std::memmove(&text_[write], text_.data() + read, next - read);
            write += next - read;
            ++kept;
        }
        read = next;
    }
    if (kept == counted) return;
    text_.erase(write, read - write);
    lines_ -= counted - kept;
    mayHaveEmptyLines_ = false;
    ForgetPlaces();
    touched_ = true;
}

void Listing::RewriteLines(LineRewrite rewrite) {
    const std::size_t counted = static_cast<std::size_t>(Count());
    if (counted == 0) return;
    // The rewritten lines are written behind the reading position; a gap
    // opens between the two wherever a line gets shorter.
    std::size_t read = 0, write = 0;
    for (std::size_t line = 0; line < counted; ++line) {
        const std::size_t end = EndOf(read);
        const bool breakFollows = end < text_.size();
        const std::string out = rewrite(std::string_view(text_).substr(read, end - read));
        if (out.size() <= end - write) {
            std::memcpy(&text_[write], out.data(), out.size());
            write += out.size();
            read = end;
        } else {  // a longer line closes the gap first
            text_.replace(write, end - write, out);
            write += out.size();
            read = write;
        }
        if (breakFollows) {
            std::memcpy(&text_[write], kBreak.data(), kBreak.size());
            write += kBreak.size();
            read += kBreak.size();
        }
    }
    text_.erase(write, read - write);
    Recount();
    ForgetPlaces();
    touched_ = true;
}

}  // namespace kuv
