#include "Cp932.h"
#include "Statements.h"
#include "Words.h"

#include <limits>

namespace kuv {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool ConvertHex(std::string_view digits, std::int32_t& value) {
    if (digits.empty()) return false;
    std::uint32_t v = 0;
    int significant = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0) return false;
        if (significant > 0 || d != 0) ++significant;
        if (significant > 8) return false;
        v = v << 4 | static_cast<std::uint32_t>(d);
    }
    value = static_cast<std::int32_t>(v);
    return true;
}

bool ConvertDecimal(std::string_view s, std::int32_t& value) {
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) return false;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                                        : std::numeric_limits<std::int32_t>::max();
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > limit) return false;
    }
    value = static_cast<std::int32_t>(negative ? -v : v);
    return true;
}

void SetError(TStatementArgs& args, ErrorKind kind, std::string_view word = {}, int parameter = -1) {
    args.error = StatementError{kind, std::string(word)};
    args.errorParameter = parameter;
    args.Msg = ErrorMessage(*args.error);
}

}  // namespace

std::string ErrorMessage(const StatementError& error) {
    switch (error.kind) {
        case ErrorKind::UnknownStatement: return std::string(msg::kUnknownStatement);
        case ErrorKind::MissingParameter: return std::string(msg::kMissingParameter);
        case ErrorKind::NotANumber:
        case ErrorKind::OutOfRange: break;
    }
    std::string m = '"' + error.word + '"';
    m += error.kind == ErrorKind::NotANumber ? msg::kNotANumber : msg::kOutOfRange;
    return std::string(CutToWholeChars(m, kMaxStringBytes));
}

LineVerdict CheckLine(std::string_view normalLine) {
    LineVerdict v{ClassifyStatement(normalLine), {}};
    if (v.kind == skUnknown)
        SetError(v.args, ErrorKind::UnknownStatement);
    else if (FormOf(v.kind)->draw)
        v.args = ParseStatement(normalLine, v.kind);
    return v;
}

StatementKind ClassifyStatement(std::string_view line) {
    for (const StatementForm& form : kStatements)
        if (line.substr(0, form.prefix.size()) == form.prefix) return form.kind;
    return skUnknown;
}

bool ConvertNumber(std::string_view word, std::int32_t& value) {
    if (word.empty()) return false;
    if (word[0] == '$' || word[0] == 'X' || word[0] == 'x') return ConvertHex(word.substr(1), value);
    if (word.size() >= 2 && word[0] == '0' && (word[1] == 'X' || word[1] == 'x')) return ConvertHex(word.substr(2), value);
    return ConvertDecimal(word, value);
}

TStatementArgs ParseStatement(std::string_view line) { return ParseStatement(line, ClassifyStatement(line)); }

TStatementArgs ParseStatement(std::string_view line, StatementKind kind) {
    TStatementArgs args;
    const Words<char> words = SplitWords(line);
    // The drawing statements only: REM and END take no parameters.
    const StatementForm* rule = FormOf(kind);
    if (!rule || !rule->draw) {
        SetError(args, ErrorKind::UnknownStatement);
        return args;
    }
    if (words[rule->needs].empty()) {
        SetError(args, ErrorKind::MissingParameter);
        return args;
    }
    // The words after the numbers (TEXT's) are its text, one space apart.
    if (!rule->rest.empty()) {
        std::string text(words[rule->numbers + 1]);
        for (int w = rule->numbers + 2; w < words.count; ++w) {
            text += ' ';
            text += words[w];
        }
        args.Text.assign(CutToWholeChars(text, kMaxStringBytes));
    }

    std::array<std::int32_t, 6> values{};
    for (int slot = 0; slot < rule->numbers; ++slot) {
        if (!ConvertNumber(words[slot + 1], values[slot])) {
            values[slot] = 0;
            SetError(args, ErrorKind::NotANumber, words[slot + 1], slot);
            if (rule->stopAtBadWord) return args;
        }
    }
    for (int slot = 0; slot < rule->numbers; ++slot) {
        const Parameter& r = rule->parameters[slot];
        if (values[slot] < r.lo || values[slot] > r.hi)
            SetError(args, ErrorKind::OutOfRange, words[slot + 1], slot);
        else
            args.Nums[slot] = values[slot];
    }
    return args;
}

}  // namespace kuv
