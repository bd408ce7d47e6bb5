// The Picture in words, for learners who cannot see it: one item per
// drawing statement that a run executed, from the run's own statements and
// the owner of every pixel when it ended. Pure: the same for every
// front-end and for kuv-render.
#pragma once

#include "Listing.h"
#include "Runner.h"
#include "Statements.h"
#include "picture/Picture.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kuv {

// Where in the Picture, by thirds: 左上, 上, 右上, 左, 中央, 右, 左下, 下, 右下.
enum class Place { TopLeft, Top, TopRight, Left, Centre, Right, BottomLeft, Bottom, BottomRight };
std::u16string PlaceWord(Place place);

struct DescribedItem {
    int line = 0;  // as the run numbers it
    StatementKind kind = skUnknown;
    std::vector<std::int32_t> params;  // every number as parsed, in order
    std::string text;                  // TEXT's, CP932
    long pixels = 0;                   // owned when the run ended
    // [min x, min y, max x, max y] of those pixels, KUV's y upwards.
    std::optional<std::array<int, 4>> bbox;
    std::optional<Place> place;        // from the centre of bbox
    int hiddenBy = 0;  // the line owning most of what it drew, when it owns nothing; 0 for none or unknown
    int inside = 0;    // the innermost BOX or CIRCLE around what can be seen of it; 0 for none
    double percent = -1;  // PAINT and PAINT24: their share of the Picture; -1 for others
    std::u16string words;  // the item as a sentence
};

struct Description {
    std::u16string summary;  // how many statements drew, and the colours
    std::vector<DescribedItem> items;
};

// The description of a run over the rewritten listing, which executed
// lines 1..lastLine (the line before an error, or the END, or the last);
// picture holds the run's drawing and its owners.
Description DescribeRun(const Listing& rewritten, int lastLine, const Picture& picture);

// The summary alone, from what the run counted as it went: what a run
// says at once, however long its listing.
std::u16string SummaryOfRun(const RunResult& run);

// The drawing statements a run executed (lines 1..lastLine of its
// rewritten listing), as (line, a 64-bit hash of its text): what the next
// run is compared with, without keeping the text.
using RunStatements = std::vector<std::pair<int, std::uint64_t>>;
RunStatements StatementsRun(const Listing& rewritten, int lastLine);

// The named colour a drawing statement draws in (PAINT: its fill; PAINT24:
// the nearest named colour).
int NamedColourOf(const LineVerdict& verdict);
// What changed from one run to the next, in a few words: the lines
// changed, added and removed (numbered as the later run numbers them).
std::u16string DescribeChange(const RunStatements& before, const RunStatements& after);

// The colour a statement draws in, as the description names it: a colour
// number's name, or for PAINT24 its components and the nearest named colour.
std::u16string ColourWords(const DescribedItem& item);

}  // namespace kuv
