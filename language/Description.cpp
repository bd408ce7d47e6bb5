#include "Description.h"

#include "Cp932.h"
#include "Runner.h"
#include "picture/Drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace kuv {
namespace {

constexpr long kPicturePixels = long{Picture::kWidth} * Picture::kHeight;
// Shapes drawn again alone to find what hides them, at most, so that a
// listing of thousands of covered shapes still describes at once.
constexpr int kMostRedrawn = 1000;

std::u16string Num(long n) {
    const std::string s = std::to_string(n);
    return {s.begin(), s.end()};
}
std::u16string Point(int x, int y) { return u"(" + Num(x) + u", " + Num(y) + u")"; }
std::u16string Colour(int n) { return Utf8ToUtf16(ColorNames[static_cast<std::size_t>(n & 7)]); }

// The named colour nearest to blue, green and red.
int NearestColour(int blue, int green, int red) {
    int best = 0;
    long bestDistance = -1;
    for (int c = 0; c < 8; ++c) {
        const ColorRef ref = ColorTable[static_cast<std::size_t>(c)];
        const long db = blue - static_cast<long>(ref >> 16 & 0xFF), dg = green - static_cast<long>(ref >> 8 & 0xFF),
                   dr = red - static_cast<long>(ref & 0xFF);
        const long d = db * db + dg * dg + dr * dr;
        if (bestDistance < 0 || d < bestDistance) best = c, bestDistance = d;
    }
    return best;
}

// The colour number a statement draws in (PAINT: its fill); -1 for PAINT24.
int ColourNumber(StatementKind kind, const std::int32_t* p) {
    switch (kind) {
        case skLine:
        case skBox: return p[4];
        case skCircle: return p[3];
        case skArc: return p[5];
        case skPaint: return p[2];
        case skText: return p[2];
        default: return -1;
    }
}
int ColourNumber(const DescribedItem& item) { return ColourNumber(item.kind, item.params.data()); }

int NamedColour(StatementKind kind, const std::int32_t* p) {
    const int n = ColourNumber(kind, p);
    return n >= 0 ? n : NearestColour(p[2], p[3], p[4]);
}
int NamedColourOf(const DescribedItem& item) { return NamedColour(item.kind, item.params.data()); }

// Where the statement is, by its parameters.
std::u16string WhereWords(const DescribedItem& item) {
    const auto& p = item.params;
    switch (item.kind) {
        case skLine: return Point(p[0], p[1]) + u" から " + Point(p[2], p[3]) + u" まで";
        case skBox: return u"角 " + Point(p[0], p[1]) + u" と " + Point(p[2], p[3]);
        case skCircle: return u"中心 " + Point(p[0], p[1]) + u"、半径 " + Num(p[2]);
        case skArc:
            return u"中心 " + Point(p[0], p[1]) + u"、半径 " + Num(p[2]) + u"、開始角 " + Num(p[3]) + u"、終了角 " + Num(p[4]);
        case skPaint: return Point(p[0], p[1]) + u" から、境界は" + Colour(p[3]);
        case skPaint24: return Point(p[0], p[1]) + u" から、境界は黒";
        case skText: return u"左上 " + Point(p[0], p[1]);
        default: return {};
    }
}

std::u16string ShapeWords(const DescribedItem& item) {
    std::u16string shape = Utf8ToUtf16(FormOf(item.kind)->shape);
    if (item.kind == skText) shape += u"「" + DecodeCp932(item.text) + u"」";
    return shape;
}

std::u16string Percent(double percent) {
    char s[32];
    std::snprintf(s, sizeof s, "%.1f", percent);
    return std::u16string(s, s + std::char_traits<char>::length(s));
}

// The per-line counts and extents of the pixels each line owns.
struct Owned {
    std::vector<long> pixels;
    std::vector<std::array<int, 4>> box;  // min x, min row, max x, max row
};

Owned CountOwners(const Picture& picture, int lastLine) {
    Owned o;
    o.pixels.assign(static_cast<std::size_t>(lastLine) + 1, 0);
    o.box.assign(static_cast<std::size_t>(lastLine) + 1, {Picture::kWidth, Picture::kHeight, -1, -1});
    if (!picture.RecordsOwners()) return o;
    const Owner* owner = picture.Owners().data();
    for (int row = 0; row < Picture::kHeight; ++row)
        for (int x = 0; x < Picture::kWidth; ++x, ++owner) {
            if (*owner == 0 || *owner > static_cast<Owner>(lastLine)) continue;
            ++o.pixels[*owner];
            std::array<int, 4>& b = o.box[*owner];
            b[0] = std::min(b[0], x), b[1] = std::min(b[1], row), b[2] = std::max(b[2], x), b[3] = std::max(b[3], row);
        }
    return o;
}

Place PlaceOf(const std::array<int, 4>& bbox) {
    const int column = (bbox[0] + bbox[2]) * 3 / 2 / Picture::kWidth;         // 0 left .. 2 right
    const int third = (bbox[1] + bbox[3]) * 3 / 2 / Picture::kHeight;          // 0 bottom .. 2 top
    return static_cast<Place>((2 - std::clamp(third, 0, 2)) * 3 + std::clamp(column, 0, 2));
}

// The line that owns most of the pixels a shape draws, drawn alone into
// scratch under an owner of its own (its line), so that what earlier shapes
// left there never counts; 0 when it draws none. Only the band where the
// shape's pixels can fall is looked at: within a pixel of its lines, two of
// its circle. Fills are not drawn again: what they fill depends on all
// before them.
int CoveringLine(const DescribedItem& item, const Listing& rewritten, const Picture& picture, Picture& scratch) {
    if (item.kind == skPaint || item.kind == skPaint24) return 0;
    const LineVerdict v = CheckLine(rewritten.Get(item.line - 1));
    const Owner mine = static_cast<Owner>(item.line), counted = ~Owner{0};
    scratch.SetOwner(mine);
    FormOf(v.kind)->draw(scratch, v.args);
    Owner* owners = scratch.OwnerData();
    std::map<Owner, long> covering;
    const auto visit = [&](int x, int row) {
        if (!Picture::Contains(x, row)) return;
        Owner& o = owners[static_cast<std::size_t>(row) * Picture::kWidth + x];
        if (o != mine) return;
        o = counted;
        ++covering[picture.OwnerAt(x, row)];
    };
    const auto segment = [&](int x1, int y1, int x2, int y2) {
        const int r1 = Picture::RowOf(y1), r2 = Picture::RowOf(y2);
        const int n = std::max({std::abs(x2 - x1), std::abs(r2 - r1), 1});
        for (int i = 0; i <= n; ++i) {
            const int x = x1 + static_cast<int>(std::lround(double(x2 - x1) * i / n));
            const int row = r1 + static_cast<int>(std::lround(double(r2 - r1) * i / n));
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) visit(x + dx, row + dy);
        }
    };
    const auto& p = item.params;
    switch (item.kind) {
        case skLine: segment(p[0], p[1], p[2], p[3]); break;
        case skBox:
            segment(p[0], p[1], p[2], p[1]), segment(p[2], p[1], p[2], p[3]);
            segment(p[2], p[3], p[0], p[3]), segment(p[0], p[3], p[0], p[1]);
            break;
        case skCircle:
        case skArc: {
            const int row0 = Picture::RowOf(p[1]);
            const double outer = p[2] + 2.0, inner = std::max(0.0, p[2] - 2.0);
            for (int dy = -static_cast<int>(outer); dy <= static_cast<int>(outer); ++dy) {
                const double o = std::sqrt(std::max(0.0, outer * outer - dy * dy));
                const double in = dy * dy < inner * inner ? std::sqrt(inner * inner - dy * dy) : 0.0;
                for (int x = static_cast<int>(std::floor(p[0] - o)); x <= static_cast<int>(std::ceil(p[0] - in)); ++x) visit(x, row0 + dy);
                for (int x = static_cast<int>(std::floor(p[0] + in)); x <= static_cast<int>(std::ceil(p[0] + o)); ++x) visit(x, row0 + dy);
            }
            break;
        }
        case skText: {
            const int width = TextAdvance(DecodeCp932(item.text)) + Picture::TextPixelSize();
            for (int row = Picture::RowOf(p[1]) - 2; row <= Picture::RowOf(p[1]) + 2 * Picture::TextPixelSize(); ++row)
                for (int x = p[0] - 1; x <= p[0] + width; ++x) visit(x, row);
            break;
        }
        default: break;
    }
    Owner best = 0;
    long most = 0;
    for (const auto& [line, n] : covering)
        if (line != 0 && n > most) best = line, most = n;
    return static_cast<int>(best);
}

// The area of a BOX or CIRCLE, and whether a box of pixels lies within it.
double AreaOf(const DescribedItem& c) {
    const auto& p = c.params;
    return c.kind == skBox ? double(std::abs(p[2] - p[0]) + 1) * (std::abs(p[3] - p[1]) + 1) : 3.14159 * p[2] * p[2];
}
bool Contains(const DescribedItem& c, const std::array<int, 4>& b) {
    const auto& p = c.params;
    if (c.kind == skBox)
        return b[0] >= std::min(p[0], p[2]) && b[2] <= std::max(p[0], p[2]) && b[1] >= std::min(p[1], p[3]) &&
               b[3] <= std::max(p[1], p[3]);
    const double r = p[2] + 0.5;
    for (const int x : {b[0], b[2]})
        for (const int y : {b[1], b[3]})
            if (double(x - p[0]) * (x - p[0]) + double(y - p[1]) * (y - p[1]) > r * r) return false;
    return true;
}

std::u16string ItemWords(const DescribedItem& item, const std::vector<DescribedItem>& items) {
    // The items are in line order.
    const auto shapeAt = [&](int line) {
        const auto i = std::lower_bound(items.begin(), items.end(), line, [](const DescribedItem& a, int l) { return a.line < l; });
        return i != items.end() && i->line == line ? Utf8ToUtf16(FormOf(i->kind)->shape) : std::u16string();
    };
    std::u16string w = Num(item.line) + u"行 " + ShapeWords(item) + u"（" + ColourWords(item) + u"）: " + WhereWords(item) + u"。";
    if (item.pixels > 0) {
        w += PlaceWord(*item.place) + u"に見えます（" +
             (item.percent >= 0 ? u"絵の " + Percent(item.percent) + u"%" : Num(item.pixels) + u" 点") + u"）。";
    } else if (item.hiddenBy) {
        w += Num(item.hiddenBy) + u"行の" + shapeAt(item.hiddenBy) + u"に隠れて見えません。";
    } else {
        w += u"見えません。";
    }
    if (item.inside) w += Num(item.inside) + u"行の" + shapeAt(item.inside) + u"の中です。";
    return w;
}

// The count of the statements drawn and their colours, in the order of
// first use.
std::u16string SummaryOf(std::size_t drawn, const std::vector<int>& colours) {
    if (drawn == 0) return u"描いた命令はありません。";
    std::u16string names;
    for (const int c : colours) names += (names.empty() ? u"" : u"、") + Colour(c);
    return u"描いた命令は " + Num(static_cast<long>(drawn)) + u" 個、使った色は " + names + u" です。";
}

// Sets what each visible item lies in: the smallest BOX or CIRCLE (by
// area) around its pixels. The containers are filed by the cells of a
// coarse grid that their extents cover: one that holds an item holds the
// centre of its pixels, so only that cell's containers are tried.
void FindContainers(std::vector<DescribedItem>& items) {
    std::vector<const DescribedItem*> containers;
    for (const DescribedItem& item : items)
        if (item.kind == skBox || item.kind == skCircle) containers.push_back(&item);
    std::stable_sort(containers.begin(), containers.end(), [](auto a, auto b) { return AreaOf(*a) < AreaOf(*b); });
    constexpr int kCell = 32, kColumns = Picture::kWidth / kCell + 1, kRows = Picture::kHeight / kCell + 1;
    std::vector<std::vector<const DescribedItem*>> cells(static_cast<std::size_t>(kColumns * kRows));
    for (const DescribedItem* c : containers) {
        const auto& p = c->params;
        const bool box = c->kind == skBox;
        const int x0 = box ? std::min(p[0], p[2]) : p[0] - p[2], x1 = box ? std::max(p[0], p[2]) : p[0] + p[2];
        const int y0 = box ? std::min(p[1], p[3]) : p[1] - p[2], y1 = box ? std::max(p[1], p[3]) : p[1] + p[2];
        for (int cy = std::max(0, y0) / kCell; cy <= std::min(Picture::kHeight - 1, y1) / kCell; ++cy)
            for (int cx = std::max(0, x0) / kCell; cx <= std::min(Picture::kWidth - 1, x1) / kCell; ++cx)
                cells[static_cast<std::size_t>(cy * kColumns + cx)].push_back(c);
    }
    for (DescribedItem& item : items) {
        if (!item.bbox) continue;
        const auto& b = *item.bbox;
        for (const DescribedItem* c : cells[static_cast<std::size_t>((b[1] + b[3]) / 2 / kCell * kColumns + (b[0] + b[2]) / 2 / kCell)])
            if (c != &item && Contains(*c, b)) {
                item.inside = c->line;
                break;
            }
    }
}

// The drawing statements of lines 1..lastLine, with their numbers.
std::vector<DescribedItem> ItemsRun(const Listing& rewritten, int lastLine) {
    std::vector<DescribedItem> items;
    for (int line = 1; line <= lastLine; ++line) {
        const LineVerdict v = CheckLine(rewritten.Get(line - 1));
        const StatementForm* form = FormOf(v.kind);
        if (!form || !form->draw || v.args.error) continue;
        DescribedItem item;
        item.line = line;
        item.kind = v.kind;
        item.params.assign(v.args.Nums.begin(), v.args.Nums.begin() + form->numbers);
        item.text = v.args.Text;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::u16string SummaryOfRun(const RunResult& run) { return SummaryOf(static_cast<std::size_t>(run.drawn), run.colours); }

RunStatements StatementsRun(const Listing& rewritten, int lastLine) {
    RunStatements run;
    for (int line = 1; line <= std::min(lastLine, rewritten.Count()); ++line) {
        const std::string_view text = rewritten.Get(line - 1);
        const StatementForm* form = FormOf(ClassifyStatement(text));
        if (!form || !form->draw) continue;
        // FNV-1a: compared by 64 bits, never by the text.
        std::uint64_t h = 14695981039346656037ull;
        for (const char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        run.emplace_back(line, h);
    }
    return run;
}

int NamedColourOf(const LineVerdict& verdict) { return NamedColour(verdict.kind, verdict.args.Nums.data()); }

std::u16string PlaceWord(Place place) {
    static constexpr std::u16string_view kWords[] = {u"左上", u"上", u"右上", u"左", u"中央", u"右", u"左下", u"下", u"右下"};
    return std::u16string(kWords[static_cast<int>(place)]);
}

std::u16string ColourWords(const DescribedItem& item) {
    if (item.kind != skPaint24) return Colour(ColourNumber(item));
    return u"青 " + Num(item.params[2]) + u"・緑 " + Num(item.params[3]) + u"・赤 " + Num(item.params[4]) + u"、" +
           Colour(NamedColourOf(item)) + u"に近い色";
}

Description DescribeRun(const Listing& rewritten, int lastLine, const Picture& picture) {
    Description d;
    lastLine = std::min(lastLine, rewritten.Count());
    d.items = ItemsRun(rewritten, lastLine);
    const Owned owned = CountOwners(picture, lastLine);
    for (DescribedItem& item : d.items) {
        item.pixels = owned.pixels[static_cast<std::size_t>(item.line)];
        const std::array<int, 4>& b = owned.box[static_cast<std::size_t>(item.line)];
        if (item.pixels > 0) {
            item.bbox = std::array<int, 4>{b[0], Picture::RowOf(b[3]), b[2], Picture::RowOf(b[1])};
            item.place = PlaceOf(*item.bbox);
        }
        if (item.kind == skPaint || item.kind == skPaint24) item.percent = 100.0 * item.pixels / kPicturePixels;
    }
    FindContainers(d.items);
    Picture scratch;
    scratch.RecordOwners();
    int redrawn = 0;
    for (DescribedItem& item : d.items)
        if (!item.bbox && picture.RecordsOwners() && redrawn++ < kMostRedrawn)
            item.hiddenBy = CoveringLine(item, rewritten, picture, scratch);
    for (DescribedItem& item : d.items) item.words = ItemWords(item, d.items);

    std::vector<int> colours;
    for (const DescribedItem& item : d.items)
        if (std::find(colours.begin(), colours.end(), NamedColourOf(item)) == colours.end()) colours.push_back(NamedColourOf(item));
    d.summary = SummaryOf(d.items.size(), colours);
    return d;
}

std::u16string DescribeChange(const RunStatements& before, const RunStatements& after) {
    // The statements the two runs share at their starts and ends; what lies
    // between changed.
    std::size_t head = 0, tail = 0;
    while (head < before.size() && head < after.size() && before[head].second == after[head].second) ++head;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail].second == after[after.size() - 1 - tail].second)
        ++tail;
    const std::size_t old = before.size() - head - tail, now = after.size() - head - tail;
    if (old == 0 && now == 0) return u"前の実行から変わった命令はありません。";
    const auto lines = [&](std::size_t from, std::size_t count) {
        std::u16string s;
        for (std::size_t i = from; i < from + std::min<std::size_t>(count, 3); ++i) s += (s.empty() ? u"" : u"、") + Num(after[i].first);
        return s + (count > 3 ? u" など" : u"") + u"行";
    };
    std::u16string change = u"前の実行から、";
    const std::size_t changed = std::min(old, now);
    std::vector<std::u16string> parts;
    if (changed) parts.push_back(lines(head, changed) + u"が変わりました");
    if (now > changed) parts.push_back(lines(head + changed, now - changed) + u"が増えました");
    if (old > changed) parts.push_back(u"命令が " + Num(static_cast<long>(old - changed)) + u" 個減りました");
    for (std::size_t i = 0; i < parts.size(); ++i) change += (i ? u"、" : u"") + parts[i];
    return change + u"。";
}

}  // namespace kuv
