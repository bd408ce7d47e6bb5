#include "LineStyle.h"

#include "Cp932.h"
#include "Runner.h"
#include "Words.h"
#include "picture/Drawing.h"

namespace kuv {
namespace {

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
    const Words<char16_t> words = SplitWords(line);
    if (words.count == 0) return {};
    const auto from = static_cast<int>(words.at[0].start), to = static_cast<int>(words.End(words.count - 1));
    if (kind == skRem) return {{from, to - from, Role::Comment}};
    if (kind == skUnknown) return {{from, to - from, Role::Unknown}};
    const StatementForm& form = *FormOf(kind);
    std::vector<Span> spans;
    for (int w = 0; w < words.count; ++w) {
        const int n = w - 1;
        const Role role = w == 0                ? Role::Word
                          : n < form.numbers    ? Role::Number
                          : !form.rest.empty()  ? Role::Text
                                                : Role::Unknown;
        const WordSpan at = words.at[static_cast<std::size_t>(w)];
        spans.push_back({static_cast<int>(at.start), static_cast<int>(at.length), role, role == Role::Number ? n : -1});
    }
    return spans;
}

std::vector<Swatch> LineSwatches(std::u16string_view line, StatementKind kind) {
    const StatementForm* form = FormOf(kind);
    if (!form || !form->draw) return {};
    const Words<char16_t> words = SplitWords(line);
    // The value of parameter n when it is a number in its range.
    const auto value = [&](int n) -> std::optional<std::int32_t> {
        const std::optional<std::int32_t> v = NumberOf(words[n + 1]);
        const Parameter& p = form->parameters[static_cast<std::size_t>(n)];
        return v && *v >= p.lo && *v <= p.hi ? v : std::nullopt;
    };
    const auto end = [&](int n) { return static_cast<int>(words.End(n + 1)); };
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
    const Words<char16_t> words = SplitWords(line.substr(0, static_cast<std::size_t>(std::max(0, position))));
    if (words.count == 0) return -1;
    // Past a space the caret is about to type the next word.
    const bool afterSpace = position > 0 && line[static_cast<std::size_t>(position) - 1] == u' ';
    return words.count - (afterSpace ? 0 : 1) - 1;
}

StatementKind KindAsTyped(std::u16string_view line) {
    std::string bytes = EncodeCp932(line.substr(0, std::min<std::size_t>(line.size(), kMaxStringBytes)));
    bytes.erase(0, std::min(bytes.find_first_not_of(' '), bytes.size()));
    UpperCaseLine(bytes);
    return ClassifyStatement(bytes);
}

std::u16string HintAt(std::u16string_view line, int position) {
    const StatementForm* form = FormOf(KindAsTyped(line));
    return form ? HintText(*form, ParameterAt(line, position)) : std::u16string();
}

std::u16string PointInsertion(int x, int y, char16_t before, char16_t after) {
    const std::string point = std::to_string(x) + ' ' + std::to_string(y);
    std::u16string text(point.begin(), point.end());
    if (before != 0 && before != u' ') text.insert(text.begin(), u' ');
    if (after != 0 && after != u' ') text += u' ';
    return text;
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
