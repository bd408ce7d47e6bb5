#include "Listing.h"

#include <cstring>

namespace kuv {
namespace {

constexpr std::string_view kBreak = "\r\n";

// Occurrences of CR LF; the pattern cannot overlap itself, so this is the
// number of breaks that a scan from the top finds.
std::size_t CountBreaks(std::string_view text) {
    std::size_t n = 0;
    for (const char* p = text.data(), *end = p + text.size();;) {
        const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p));
        if (!cr) return n;
        p = static_cast<const char*>(cr) + 1;
        if (p < end && *p == '\n') ++n, ++p;
    }
}

}  // namespace

Listing::Listing(std::string text) : text_(std::move(text)), lines_(CountBreaks(text_) + 1) {}

bool Listing::LastLineEmpty() const {
    return text_.empty() || (text_.size() >= 2 && std::string_view(text_).substr(text_.size() - 2) == kBreak);
}

int Listing::Count() const { return static_cast<int>(LastLineEmpty() ? lines_ - 1 : lines_); }

std::size_t Listing::EndOf(std::size_t start) const {
    const std::size_t brk = text_.find(kBreak, start);
    return brk == std::string::npos ? text_.size() : brk;
}

std::size_t Listing::StartOf(std::size_t i) const {
    if (i < cachedLine_) cachedLine_ = 0, cachedStart_ = 0;
    while (cachedLine_ < i) {
        cachedStart_ = EndOf(cachedStart_) + kBreak.size();
        ++cachedLine_;
    }
    return cachedStart_;
}

std::string_view Listing::Get(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= lines_) return {};
    const std::size_t start = StartOf(static_cast<std::size_t>(i));
    return std::string_view(text_).substr(start, EndOf(start) - start);
}

void Listing::Put(int i, std::string_view s) {
    if (i < 0 || static_cast<std::size_t>(i) >= lines_) return;
    const std::size_t start = StartOf(static_cast<std::size_t>(i));
    text_.replace(start, EndOf(start) - start, s);
    // A CR at the end of s followed by the break, or an LF at its start after
    // a CR, would change where lines end; the runner never puts either, but
    // the count must stay true whatever is put.
    lines_ = CountBreaks(text_) + 1;
    cachedLine_ = 0, cachedStart_ = 0;
    touched_ = true;
}

void Listing::Delete(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= lines_) return;
    const std::size_t start = StartOf(static_cast<std::size_t>(i));
    if (static_cast<std::size_t>(i) + 1 == lines_) {
        text_.erase(start);
    } else {
        text_.erase(start, EndOf(start) + kBreak.size() - start);
        --lines_;
    }
    touched_ = true;
}

void Listing::DeleteEmptyLines() {
    // Deleting a counted line never reaches the last line (an empty last line
    // is not counted), so deleting one by one equals a stable compaction of
    // the counted lines, done here in place in one pass.
    const std::size_t counted = static_cast<std::size_t>(Count());
    std::size_t read = 0, write = 0, kept = 0;
    for (std::size_t line = 0; line < counted; ++line) {
        const std::size_t end = EndOf(read);
        const std::size_t next = end < text_.size() ? end + kBreak.size() : end;
        if (end > read) {
            std::memmove(&text_[write], text_.data() + read, next - read);
            write += next - read;
            ++kept;
        }
        read = next;
    }
    if (kept == counted) return;
    text_.erase(write, read - write);
    lines_ -= counted - kept;
    cachedLine_ = 0, cachedStart_ = 0;
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
    lines_ = CountBreaks(text_) + 1;
    cachedLine_ = 0, cachedStart_ = 0;
    touched_ = true;
}

}  // namespace kuv
