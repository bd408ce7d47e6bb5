#include "LineStyle.h"

#include "Cp932.h"
#include "picture/Drawing.h"

namespace kuv {
namespace {

struct Word {
    int start, length;
};

// The words of a line as the parser splits them: runs of characters
// between spaces (U+0020), at most seven, the seventh taking the rest.
std::vector<Word> WordsOf(std::u16string_view line) {
    constexpr std::size_t kWordCount = 7;
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < line.size() && line[i] == u' ') ++i;
    while (i < line.size() && words.size() < kWordCount) {
        std::size_t end = i;
        while (end < line.size() && line[end] != u' ') ++end;
        words.push_back({static_cast<int>(i), static_cast<int>(end - i)});
        i = end;
        while (i < line.size() && line[i] == u' ') ++i;
    }
    return words;
}

// A number word as the parser reads it (hexadecimal digits in either case).
std::optional<std::int32_t> NumberOf(std::u16string_view word) {
    std::string bytes;
    for (const char16_t c : word) {
        if (c > 0x7F) return std::nullopt;
        bytes += static_cast<char>(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c);
    }
    std::int32_t v = 0;
    if (!ConvertNumber(bytes, v)) return std::nullopt;
    return v;
}

}  // namespace

std::vector<Span> LineSpans(std::u16string_view line, StatementKind kind) {
    const std::vector<Word> words = WordsOf(line);
    if (words.empty()) return {};
    const int from = words.front().start, to = words.back().start + words.back().length;
    if (kind == skRem) return {{from, to - from, Role::Comment}};
    if (kind == skUnknown) return {{from, to - from, Role::Unknown}};
    const StatementForm& form = *FormOf(kind);
    std::vector<Span> spans;
    for (std::size_t w = 0; w < words.size(); ++w) {
        const int n = static_cast<int>(w) - 1;
        const Role role = w == 0                ? Role::Word
                          : n < form.numbers    ? Role::Number
                          : !form.rest.empty()  ? Role::Text
                                                : Role::Unknown;
        spans.push_back({words[w].start, words[w].length, role, role == Role::Number ? n : -1});
    }
    return spans;
}

std::vector<Swatch> LineSwatches(std::u16string_view line, StatementKind kind) {
    const StatementForm* form = FormOf(kind);
    if (!form || !form->draw) return {};
    const std::vector<Word> words = WordsOf(line);
    // The value of parameter n when it is a number in its range.
    const auto value = [&](int n) -> std::optional<std::int32_t> {
        if (n + 1 >= static_cast<int>(words.size())) return std::nullopt;
        const Word w = words[static_cast<std::size_t>(n) + 1];
        const std::optional<std::int32_t> v = NumberOf(line.substr(static_cast<std::size_t>(w.start), static_cast<std::size_t>(w.length)));
        const Parameter& p = form->parameters[static_cast<std::size_t>(n)];
        return v && *v >= p.lo && *v <= p.hi ? v : std::nullopt;
    };
    const auto end = [&](int n) { return words[static_cast<std::size_t>(n) + 1].start + words[static_cast<std::size_t>(n) + 1].length; };
    std::vector<Swatch> swatches;
    if (kind == skPaint24) {
        const auto blue = value(2), green = value(3), red = value(4);
        if (blue && green && red)
            swatches.push_back({end(4), static_cast<std::uint32_t>(*blue) << 16 | static_cast<std::uint32_t>(*green) << 8 |
                                            static_cast<std::uint32_t>(*red)});
        return swatches;
    }
    for (int n = 0; n < form->numbers; ++n)
        if (form->parameters[static_cast<std::size_t>(n)].colour)
            if (const auto c = value(n)) swatches.push_back({end(n), ColorTable[static_cast<std::size_t>(*c)]});
    return swatches;
}

int ParameterAt(std::u16string_view line, int position) {
    const std::vector<Word> words = WordsOf(line.substr(0, static_cast<std::size_t>(std::max(0, position))));
    if (words.empty()) return -1;
    // Past a space the caret is about to type the next word.
    const bool afterSpace = position > 0 && line[static_cast<std::size_t>(position) - 1] == u' ';
    return static_cast<int>(words.size()) - (afterSpace ? 0 : 1) - 1;
}

std::u16string HintText(const StatementForm& form, int parameter) {
    const auto number = [](long n) {
        const std::string digits = std::to_string(n);
        return std::u16string(digits.begin(), digits.end());
    };
    const auto marked = [](std::u16string name, bool on) {
        return on ? kHintMarkStart + name + kHintMarkEnd : name;
    };
    std::u16string hint = Utf8ToUtf16(form.word);
    for (int n = 0; n < form.numbers; ++n)
        hint += u' ' + marked(Utf8ToUtf16(form.parameters[static_cast<std::size_t>(n)].name), n == parameter);
    if (!form.rest.empty()) hint += u' ' + marked(Utf8ToUtf16(form.rest), parameter >= form.numbers);
    if (parameter < 0 || parameter >= form.numbers) return hint;
    const Parameter& p = form.parameters[static_cast<std::size_t>(parameter)];
    hint += u" — " + Utf8ToUtf16(p.name) + u": " + number(p.lo) + u"〜" + number(p.hi);
    if (!p.colour) return hint;
    hint += u'\n';
    for (std::size_t c = 0; c < ColorTable.size(); ++c)
        hint += (c ? u"　" : u"") + number(static_cast<long>(c)) + u' ' + Utf8ToUtf16(ColorNames[c]);
    return hint;
}

}  // namespace kuv
