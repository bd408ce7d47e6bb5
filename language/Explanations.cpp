#include "Explanations.h"

#include "Cp932.h"
#include "LineStyle.h"
#include "Words.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kuv {
namespace {

// The texts of the explanations, one row per mistake. {w} is the word at
// fault, {p} its parameter's name, {r} the parameter's range, {d} how far
// out it is, {n} the nearest allowed value, {s} the statement's word, {c}
// the word(s) meant, {m} the missing parameters, {f} the statement's form,
// {x} the character at fault. No row blames: each says what is there, then
// what to write.
struct MistakeText {
    Mistake mistake;
    std::u16string_view text;
};
constexpr std::array<MistakeText, 13> kMistakeTexts = {{
    {Mistake::FullWidth, u"全角の{x}が入っています。日本語入力をオフにして、半角で書きます。"},
    {Mistake::Separator, u"数の区切りに「{x}」が使われています。数と数の間は、スペースで区切ります。"},
    {Mistake::NoSpace, u"{s} のすぐあとに数が続いています。{s} と数の間にスペースを入れます。"},
    {Mistake::Misspelt, u"「{w}」という命令はありません。{c} のことなら、「{c}」と書きます。"},
    {Mistake::Unsure, u"「{w}」という命令はありません。{c} のどれかのことなら、その命令を書きます。"},
    {Mistake::UnknownWord, u"「{w}」という命令はありません。行は {c} のどれかで始めます。"},
    {Mistake::LettersForDigits, u"「{w}」に英字の {x} がまじっています。{p} は数字だけで書きます。"},
    {Mistake::Decimal, u"「{w}」は小数です。{p} には、小数点のない整数を書きます。"},
    {Mistake::NotANumber, u"「{w}」は数として読めません。{p} には {r} の整数を書きます。"},
    {Mistake::TooBig, u"{p} に使えるのは {r} です。「{w}」は {d} 大きいので、{n} 以下にします。"},
    {Mistake::TooSmall, u"{p} に使えるのは {r} です。「{w}」は {d} 小さいので、{n} 以上にします。"},
    {Mistake::TextTooLow,
     u"文字は y の位置から下へ 10 ドットの高さで書かれるので、y が {w} では絵の下にはみ出します。y は 10 以上にします。"},
    {Mistake::Missing, u"{s} には {m} が足りません。{s} は「{f}」の形で書きます。"},
}};

// The texts of the warnings: what the mark says, then its explanation.
// {w} is the ignored part, {s} the statement's word, {a} and {l} the names
// of its first and last numbers, {k} how many numbers it takes, {c} the border's colour.
struct WarningText {
    WarningKind kind;
    std::u16string_view message, explanation;
};
constexpr std::array<WarningText, 7> kWarningTexts = {{
    {WarningKind::UnusedWords, u"「{w}」は使われません",
     u"{s} が使う数は {a} から {l} までの {k} つです。そのあとの「{w}」は描くときに無視されます。"},
    {WarningKind::UndrawnText, u"「{w}」は書かれません",
     u"TEXT が書くのは、スペースで区切った 3 語までです。「{w}」も書くには、スペースを減らすか、次の TEXT に分けます。"},
    {WarningKind::EmptyLine, u"始点と終点が同じなので、線は描かれません",
     u"LINE は (x1, y1) から (x2, y2) へ線を引きます。2 つの点を別の場所にすると、線が描かれます。"},
    {WarningKind::EmptyBox, u"2 つの角が同じ点なので、四角は描かれません",
     u"BOX は (x1, y1) と (x2, y2) を向かい合う角にして描きます。2 つの点を別の場所にすると、四角が描かれます。"},
    {WarningKind::EmptyCircle, u"半径が 0 なので、円は描かれません", u"半径を 1 以上にすると、円が描かれます。"},
    {WarningKind::EmptyArc, u"この弧は描かれません",
     u"{x}、線が引かれません。弧は開始角から左回りに終了角まで描かれるので、2 つの角を離すか、半径を大きくします。"},
    {WarningKind::PaintOnBorder, u"塗り始めの点が境界の色なので、何も塗られません",
     u"(x, y) の点は、もう境界の色の{c}です。塗りたい形の内側の点を選びます。"},
}};

using Fills = std::vector<std::pair<char16_t, std::u16string>>;

std::u16string Fill(std::u16string_view text, const Fills& fills) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'{' && i + 2 < text.size() && text[i + 2] == u'}') {
            const auto f = std::find_if(fills.begin(), fills.end(), [&](const auto& p) { return p.first == text[i + 1]; });
            if (f != fills.end()) {
                out += f->second;
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::u16string Ascii16(std::string_view s) { return {s.begin(), s.end()}; }
std::u16string Number16(long n) { return Ascii16(std::to_string(n)); }

std::u16string RangeText(const Parameter& p) { return Number16(p.lo) + u"〜" + Number16(p.hi); }

// The statement words, listed for the reader: "LINE、BOX、… END".
std::u16string StatementWords(const std::vector<const StatementForm*>& forms, std::u16string_view between) {
    std::u16string out;
    for (const StatementForm* f : forms) out += (out.empty() ? u"" : std::u16string(between)) + Ascii16(f->word);
    return out;
}

// Every statement, those that draw first, as the help lists them.
std::vector<const StatementForm*> AllForms() {
    std::vector<const StatementForm*> forms;
    for (const StatementForm& f : kStatements) forms.push_back(&f);
    std::stable_partition(forms.begin(), forms.end(), [](const StatementForm* f) { return f->draw != nullptr; });
    return forms;
}

// Characters of the input method's full width that have a half-width twin
// the language reads: U+FF01 to U+FF5E, the ideographic space and the
// minus sign; 0 for any other.
char16_t HalfWidthOf(char16_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return static_cast<char16_t>(c - 0xFEE0);
    if (c == 0x3000) return u' ';
    if (c == 0x2212) return u'-';
    return 0;
}

// What users type between numbers instead of a space.
bool IsSeparator(char16_t c) {
    return c == u',' || c == u'、' || c == u'，' || c == u'､' || c == u';' || c == u'；' || c == u'\t';
}
bool SplitsWords(char16_t c) { return c == u' ' || c == 0x3000 || IsSeparator(c); }

bool StartsNumber(char16_t c) { return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'$'; }

std::string UpperAscii(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if (c > 0x7F) return {};
        out += static_cast<char>(c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c);
    }
    return out;
}

// The drawing statements' words, longest first: the first that a line
// starts with is the one it means ("PAINT24" before "PAINT").
std::vector<const StatementForm*> WordsLongestFirst() {
    std::vector<const StatementForm*> forms;
    for (const StatementForm& f : kStatements)
        if (f.draw) forms.push_back(&f);
    std::stable_sort(forms.begin(), forms.end(), [](auto a, auto b) { return a->word.size() > b->word.size(); });
    return forms;
}

// The statement words nearest a misspelt one, within its allowed distance;
// never the word itself.
std::vector<const StatementForm*> NearestWords(std::string_view word) {
    std::vector<const StatementForm*> best;
    int bestDistance = AllowedDistance(word.size()) + 1;
    for (const StatementForm& f : kStatements) {
        const int d = EditDistance(word, f.word);
        if (d == 0 || d > bestDistance) continue;
        if (d < bestDistance) best.clear();
        bestDistance = d;
        best.push_back(&f);
    }
    return best;
}

// The statement a line's first word means, as far as it can be told: its
// word exactly (REM and END as prefixes), a word run into a number, or the
// one nearest word.
const StatementForm* StatementMeant(std::u16string_view line) {
    std::size_t end = 0;
    while (end < line.size() && !SplitsWords(line[end])) ++end;
    std::u16string token(line.substr(0, end));
    for (char16_t& c : token)
        if (const char16_t h = HalfWidthOf(c)) c = h;
    const std::string word = UpperAscii(token);
    if (word.empty()) return nullptr;
    if (const StatementForm* f = FormOf(ClassifyStatement(word + ' '))) return f;
    for (const StatementForm* f : WordsLongestFirst())
        if (word.size() > f->word.size() && word.compare(0, f->word.size(), f->word) == 0 &&
            StartsNumber(static_cast<char16_t>(word[f->word.size()])))
            return f;
    const auto nearest = NearestWords(word);
    return nearest.size() == 1 ? nearest[0] : nullptr;
}

// Where the part of a line that the language reads as words and numbers
// ends: at TEXT's text or REM's comment, which stay exactly as typed; the
// whole line for any other.
std::size_t StatementPartEnd(std::u16string_view line) {
    const StatementForm* form = StatementMeant(line);
    if (!form || form->rest.empty()) return line.size();
    int token = -1;
    bool inToken = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool splits = SplitsWords(line[i]);
        if (!splits && !inToken && ++token > form->numbers) return i;
        inToken = !splits;
    }
    return line.size();
}

// One step of mending a line: what it found, with the texts to fill in.
struct Finding {
    Mistake mistake;
    Fills fills;
};

// The state of a line being mended.
struct Mending {
    std::u16string line;  // in normal form, decoded
    std::string bytes;    // the same, CP932
    LineVerdict verdict;

    void Set(std::u16string text) {
        bytes = NormaliseLine(EncodeCp932(text));
        line = DecodeCp932(bytes);
        verdict = CheckLine(bytes);
    }
    const Words<char16_t> SplitLine() const { return SplitWords(std::u16string_view(line)); }
    const StatementForm* Form() const { return FormOf(verdict.kind); }
    std::u16string ErrorWord() const { return DecodeCp932(verdict.args.error ? verdict.args.error->word : std::string()); }
    const Parameter* ErrorParameter() const {
        const StatementForm* f = Form();
        const int p = verdict.args.errorParameter;
        return f && p >= 0 ? &f->parameters[static_cast<std::size_t>(p)] : nullptr;
    }
    std::u16string ErrorParameterName() const {
        const Parameter* p = ErrorParameter();
        return p ? Utf8ToUtf16(p->name) : std::u16string();
    }
};

std::optional<Finding> MendFullWidth(Mending& m) {
    if (std::none_of(m.line.begin(), m.line.end(), HalfWidthOf)) return std::nullopt;
    std::u16string line = m.line;
    const std::size_t end = StatementPartEnd(line);
    std::optional<Finding> found;
    for (std::size_t i = 0; i < end; ++i) {
        const char16_t half = HalfWidthOf(line[i]);
        if (!half) continue;
        if (!found)
            found = Finding{Mistake::FullWidth,
                            {{u'x', line[i] == 0x3000 ? std::u16string(u"スペース") : u"文字「" + std::u16string(1, line[i]) + u"」"}}};
        line[i] = half;
    }
    if (found) m.Set(line);
    return found;
}

std::optional<Finding> MendSeparators(Mending& m) {
    if (m.verdict.kind == skRem || std::none_of(m.line.begin(), m.line.end(), IsSeparator)) return std::nullopt;
    std::u16string line = m.line;
    const std::size_t end = StatementPartEnd(line);
    std::optional<Finding> found;
    std::u16string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (i < end && IsSeparator(line[i])) {
            if (!found) found = Finding{Mistake::Separator, {{u'x', line[i] == u'\t' ? std::u16string(u"タブ") : std::u16string(1, line[i])}}};
            if (!out.empty() && out.back() != u' ') out += u' ';
            continue;
        }
        if (line[i] == u' ' && !out.empty() && out.back() == u' ' && i < end) continue;
        out += line[i];
    }
    if (found) m.Set(out);
    return found;
}

std::optional<Finding> MendNoSpace(Mending& m) {
    if (m.verdict.kind != skUnknown) return std::nullopt;
    for (const StatementForm* f : WordsLongestFirst()) {
        const std::u16string word = Ascii16(f->word);
        if (m.line.size() <= word.size() || m.line.compare(0, word.size(), word) != 0 || !StartsNumber(m.line[word.size()]))
            continue;
        // Not when the numbers would then be too many: "PAINT2 5 5 2 0" may
        // as well be a PAINT24 short of its 4.
        const std::u16string spaced = word + u' ' + m.line.substr(word.size());
        const Words<char16_t> words = SplitWords(std::u16string_view(spaced));
        if (f->rest.empty() && words.count > f->numbers + 1) return std::nullopt;
        m.Set(spaced);
        return Finding{Mistake::NoSpace, {{u's', word}}};
    }
    return std::nullopt;
}

std::optional<Finding> MendSpelling(Mending& m) {
    if (m.verdict.kind != skUnknown) return std::nullopt;
    const Words<char16_t> words = m.SplitLine();
    const std::u16string typed(words[0]);
    const std::vector<const StatementForm*> forms = AllForms();
    const std::vector<const StatementForm*> nearest = NearestWords(UpperAscii(typed));
    if (nearest.empty()) return Finding{Mistake::UnknownWord, {{u'w', typed}, {u'c', StatementWords(forms, u"、")}}};
    if (nearest.size() > 1) return Finding{Mistake::Unsure, {{u'w', typed}, {u'c', StatementWords(nearest, u" か ")}}};
    const std::u16string word = Ascii16(nearest[0]->word);
    m.Set(word + m.line.substr(words.End(0)));
    return Finding{Mistake::Misspelt, {{u'w', typed}, {u'c', word}}};
}

std::optional<Finding> MendLettersForDigits(Mending& m) {
    const StatementForm* form = m.Form();
    if (!form || !m.verdict.args.error || m.verdict.args.error->kind != ErrorKind::NotANumber) return std::nullopt;
    const Words<char16_t> words = m.SplitLine();
    std::u16string line = m.line;
    std::optional<Finding> found;
    for (int n = form->numbers; n >= 1; --n) {
        const std::u16string_view w = words[n];
        const bool digit = std::any_of(w.begin(), w.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
        const bool letter = std::any_of(w.begin(), w.end(), [](char16_t c) { return c == u'O' || c == u'I' || c == u'L'; });
        const std::u16string_view unsigned_ = !w.empty() && (w[0] == u'-' || w[0] == u'+') ? w.substr(1) : w;
        const bool only = std::all_of(unsigned_.begin(), unsigned_.end(), [](char16_t c) {
            return (c >= u'0' && c <= u'9') || c == u'O' || c == u'I' || c == u'L';
        });
        if (!digit || !letter || !only) continue;
        std::u16string letters, digits(w);
        for (char16_t& c : digits) {
            if (c != u'O' && c != u'I' && c != u'L') continue;
            if (letters.find(c) == std::u16string::npos) letters += (letters.empty() ? u"" : u"、") + std::u16string(1, c);
            c = c == u'O' ? u'0' : u'1';
        }
        line.replace(words.at[static_cast<std::size_t>(n)].start, w.size(), digits);
        found = Finding{Mistake::LettersForDigits,
                        {{u'w', std::u16string(w)}, {u'x', letters}, {u'p', Utf8ToUtf16(form->parameters[static_cast<std::size_t>(n - 1)].name)}}};
    }
    if (found) m.Set(line);
    return found;
}

// Every number out of its range set to the nearest value it may take.
std::optional<Finding> MendRange(Mending& m) {
    const StatementForm* form = m.Form();
    const Parameter* p = m.ErrorParameter();
    std::int32_t value = 0;
    if (!p || m.verdict.args.error->kind != ErrorKind::OutOfRange || !ConvertNumber(m.verdict.args.error->word, value))
        return std::nullopt;
    const std::int32_t nearest = std::clamp(value, p->lo, p->hi);
    const long by = value > p->hi ? static_cast<long>(value) - p->hi : static_cast<long>(p->lo) - value;
    Finding found{value > p->hi ? Mistake::TooBig : Mistake::TooSmall,
                  {{u'w', m.ErrorWord()}, {u'p', m.ErrorParameterName()}, {u'r', RangeText(*p)}, {u'd', Number16(by)},
                   {u'n', Number16(nearest)}}};
    if (form->kind == skText && m.verdict.args.errorParameter == 1 && value < p->lo) found.mistake = Mistake::TextTooLow;
    const Words<char16_t> words = m.SplitLine();
    std::u16string line = m.line;
    for (int n = form->numbers; n >= 1; --n) {
        const Parameter& q = form->parameters[static_cast<std::size_t>(n - 1)];
        std::int32_t v = 0;
        if (!ConvertNumber(EncodeCp932(words[n]), v) || (v >= q.lo && v <= q.hi)) continue;
        line.replace(words.at[static_cast<std::size_t>(n)].start, words[n].size(), Number16(std::clamp(v, q.lo, q.hi)));
    }
    m.Set(line);
    return found;
}

// What the remaining error says, when no step of mending named it.
Finding DescribeError(const Mending& m) {
    const StatementForm* form = m.Form();
    const std::u16string word = m.ErrorWord();
    if (!form) return {Mistake::UnknownWord, {{u'w', std::u16string(m.SplitLine()[0])}, {u'c', StatementWords(AllForms(), u"、")}}};
    if (m.verdict.args.error->kind == ErrorKind::MissingParameter) {
        const int present = m.SplitLine().count - 1;
        std::u16string missing;
        for (int n = present; n < form->numbers; ++n)
            missing += (missing.empty() ? u"" : u"、") + Utf8ToUtf16(form->parameters[static_cast<std::size_t>(n)].name);
        if (form->needs > form->numbers) missing += (missing.empty() ? u"" : u"、") + Utf8ToUtf16(form->rest);
        return {Mistake::Missing, {{u's', Ascii16(form->word)}, {u'm', missing}, {u'f', HintText(*form, -1)}}};
    }
    const Parameter* p = m.ErrorParameter();
    const bool decimal = !word.empty() && word.find(u'.') != std::u16string::npos &&
                         std::all_of(word.begin(), word.end(), [](char16_t c) { return (c >= u'0' && c <= u'9') || c == u'.' || c == u'-' || c == u'+'; });
    return {decimal ? Mistake::Decimal : Mistake::NotANumber,
            {{u'w', word}, {u'p', m.ErrorParameterName()}, {u'r', p ? RangeText(*p) : std::u16string()}}};
}

std::u16string ExplanationOf(const Finding& f) {
    for (const MistakeText& t : kMistakeTexts)
        if (t.mistake == f.mistake) return Fill(t.text, f.fills);
    return {};
}

Warning MakeWarning(WarningKind kind, const Fills& fills) {
    for (const WarningText& t : kWarningTexts)
        if (t.kind == kind) return {kind, Fill(t.message, fills), Fill(t.explanation, fills)};
    return {kind, {}, {}};
}

}  // namespace

int AllowedDistance(std::size_t length) { return length < 2 ? 0 : length <= 4 ? 1 : length <= 8 ? 2 : 3; }

int EditDistance(std::string_view a, std::string_view b) {
    // The optimal string alignment distance, over three rows; b is the
    // shorter word (a statement's), so the rows fit on the stack.
    if (a.size() < b.size()) std::swap(a, b);
    if (b.size() > 15) return static_cast<int>(a.size());  // no statement word is this long
    std::array<int, 17> before{}, last{}, row{};
    for (std::size_t j = 0; j <= b.size(); ++j) last[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            row[j] = std::min({last[j] + 1, row[j - 1] + 1, last[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) row[j] = std::min(row[j], before[j - 2] + 1);
        }
        before = last;
        last = row;
    }
    return last[b.size()];
}

std::optional<Advice> ExplainLine(std::string_view line) {
    Mending m;
    m.Set(DecodeCp932(NormaliseLine(line)));
    if (!m.verdict.args.error) return std::nullopt;
    // Mistakes of typing are mended one after another, so that a line with
    // two of them still gets its fix; a number out of range only when it
    // is the line's one problem. The first mistake found is explained.
    using Step = std::optional<Finding> (*)(Mending&);
    constexpr std::array<Step, 6> kSteps = {MendFullWidth, MendSeparators, MendNoSpace, MendSpelling, MendLettersForDigits, MendRange};
    std::optional<Finding> first;
    bool certain = true;
    for (std::size_t s = 0; s < kSteps.size() && m.verdict.args.error; ++s) {
        if (first && kSteps[s] == MendRange) break;
        std::optional<Finding> found = kSteps[s](m);
        if (!found) continue;
        if (found->mistake == Mistake::Unsure || found->mistake == Mistake::UnknownWord) certain = false;
        if (!first) first = std::move(found);
        if (!certain) break;
    }
    if (!first) first = DescribeError(m);
    Advice advice{first->mistake, ExplanationOf(*first), std::nullopt};
    if (certain && !m.verdict.args.error) advice.fix = m.bytes;
    return advice;
}

namespace {

// The warnings of a line in normal form whose verdict is known.
std::vector<Warning> WarningsOf(const std::string& normal, const LineVerdict& v) {
    const StatementForm* form = FormOf(v.kind);
    std::vector<Warning> warnings;
    if (!form || !form->draw || v.args.error) return warnings;
    const Words<char> words = SplitWords(std::string_view(normal));
    const std::size_t end = words.count > 0 ? words.End(std::min(words.count, kWordCount) - 1) : 0;
    const std::string_view past = TrimSpaces(std::string_view(normal).substr(std::min(end, normal.size())));
    const int last = form->numbers;
    if (form->rest.empty() && (words.count > last + 1 || !past.empty())) {
        const std::size_t from = words.count > last + 1 ? words.at[static_cast<std::size_t>(last + 1)].start : end;
        warnings.push_back(MakeWarning(WarningKind::UnusedWords,
                                       {{u'w', DecodeCp932(TrimSpaces(std::string_view(normal).substr(from)))},
                                        {u's', Ascii16(form->word)},
                                        {u'a', Utf8ToUtf16(form->parameters[0].name)},
                                        {u'l', Utf8ToUtf16(form->parameters[static_cast<std::size_t>(last - 1)].name)},
                                        {u'k', Number16(last)}}));
    } else if (!form->rest.empty() && !past.empty()) {
        warnings.push_back(MakeWarning(WarningKind::UndrawnText, {{u'w', DecodeCp932(past)}}));
    }
    const auto& n = v.args.Nums;
    const bool empty = (v.kind == skLine && n[0] == n[2] && n[1] == n[3]) || (v.kind == skBox && n[0] == n[2] && n[1] == n[3]) ||
                       (v.kind == skCircle && n[2] == 0) ||
                       (v.kind == skArc && ArcDrawsNothing(n[0], n[1], n[2], n[3], n[4]));
    const WarningKind kinds[] = {WarningKind::EmptyLine, WarningKind::EmptyBox, WarningKind::EmptyCircle, WarningKind::EmptyArc};
    if (!empty) return warnings;
    const bool backwards = v.kind == skArc && ArcStepRange(n[3], n[4]).k1 < ArcStepRange(n[3], n[4]).k0;
    const std::u16string why = backwards ? u"終了角が開始角より 1 周以上手前にあるので" : u"開始角と終了角が近すぎるか、半径が小さすぎるので";
    warnings.push_back(MakeWarning(kinds[v.kind - skLine], {{u'x', why}}));
    return warnings;
}

}  // namespace

std::vector<Warning> LineWarnings(std::string_view line) {
    const std::string normal = NormaliseLine(line);
    return WarningsOf(normal, CheckLine(normal));
}

Warning PaintOnBorderWarning(std::string_view line) {
    const LineVerdict v = CheckLine(NormaliseLine(line));
    const std::u16string colour = v.kind == skPaint24 ? u"黒" : Utf8ToUtf16(ColorNames[static_cast<std::size_t>(v.args.Nums[3] & 7)]);
    return MakeWarning(WarningKind::PaintOnBorder, {{u'c', colour}});
}

bool PaintStartsOnBorder(const Picture& picture, const LineVerdict& verdict) {
    if (verdict.args.error || (verdict.kind != skPaint && verdict.kind != skPaint24)) return false;
    const auto& n = verdict.args.Nums;
    const ColorRef border = verdict.kind == skPaint ? ColorTable[static_cast<std::size_t>(n[3])] : ColorTable[0];
    return picture.At(n[0], Picture::RowOf(n[1])) == PixelFromColorRef(border);
}

std::vector<Problem> ProblemsOfLine(std::string_view line, const LineCheck& check, int runLine, const RunFindings* run) {
    std::vector<Problem> problems;
    if (!check.reached) return problems;
    if (check.verdict.args.error) {
        const std::optional<Advice> advice = ExplainLine(line);
        problems.push_back({0, check.number, true, DecodeCp932(ErrorLogLine(check.number, check.verdict.args.Msg)),
                            advice ? advice->explanation : std::u16string(), advice ? advice->fix : std::nullopt});
        return problems;
    }
    for (Warning& w : WarningsOf(NormaliseLine(line), check.verdict)) problems.push_back({0, check.number, false, std::move(w.message), std::move(w.explanation), {}});
    if (run && runLine > 0 && std::binary_search(run->paintsOnBorder.begin(), run->paintsOnBorder.end(), runLine) &&
        run->rewritten.Get(runLine - 1) == NormaliseLine(line)) {
        Warning w = PaintOnBorderWarning(line);
        problems.push_back({0, check.number, false, std::move(w.message), std::move(w.explanation), {}});
    }
    return problems;
}

std::vector<Problem> ListProblems(const Listing& listing, const RunFindings* run) {
    return ListProblems(listing, CheckListing(listing), run);
}

std::vector<Problem> ListProblems(const Listing& listing, const std::vector<LineCheck>& checks, const RunFindings* run) {
    std::vector<Problem> problems;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        for (Problem& p : ProblemsOfLine(listing.Get(static_cast<int>(i)), checks[i], checks[i].number, run)) {
            p.line = static_cast<int>(i) + 1;
            problems.push_back(std::move(p));
        }
    }
    return problems;
}

Problem ProblemOfRunError(const Listing& rewritten, const RunError& error) {
    const std::string_view line = rewritten.Get(error.line - 1);
    const std::optional<Advice> advice = ExplainLine(line);
    return {error.line, error.line, true, DecodeCp932(ErrorLogLine(error.line, ErrorMessage(error.what))),
            advice ? advice->explanation : std::u16string(), advice ? advice->fix : std::nullopt};
}

std::u16string FixCaption(std::u16string_view fixedLine) { return u"直す: " + std::u16string(fixedLine); }

std::u16string ProblemTip(const Problem& problem) {
    std::u16string tip = problem.message;
    if (!problem.explanation.empty()) tip += u'\n' + problem.explanation;
    if (problem.fix) tip += u'\n' + FixCaption(DecodeCp932(*problem.fix));
    return tip;
}

}  // namespace kuv
