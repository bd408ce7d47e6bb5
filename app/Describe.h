// kuv-render --describe: a listing's Picture in words, for a terminal or
// (with --json) for other tools.
#pragma once

#include "language/Description.h"

#include <iosfwd>
#include <string>

namespace kuv {

struct RenderArgs;

// Exit codes as for a run: 0 clean, 1 an error in the listing (the items
// up to it are still given), 2 when the listing cannot be read.
int DescribeMain(const RenderArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

// The summary, then one line per item (UTF-8).
std::string DescriptionText(const Description& d);
// {"summary": …, "items": [{line, statement, colour, params, text, pixels,
// bbox, place, hidden_by, inside, percent, words}]}, every key in every item.
std::string DescriptionJson(const Description& d);

}  // namespace kuv
