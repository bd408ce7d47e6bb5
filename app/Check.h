// kuv-render --check: every problem of one listing, as the live checks
// show them, for a terminal or (with --json) for other tools.
#pragma once

#include "language/Explanations.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace kuv {

struct RenderArgs;

// Exit codes: 0 when Run would stop at no line, 1 otherwise, 2 when the
// listing cannot be read.
int CheckMain(const RenderArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

// The problems in the style of compilers: "NAME:N: エラー: …" or "注意",
// the explanation indented beneath, then "  修正: …" (UTF-8).
std::string ProblemsText(const std::string& name, const std::vector<Problem>& problems);
// The problems as a JSON array of {line, run_line, severity, message,
// explanation, fix}.
std::string ProblemsJson(const std::vector<Problem>& problems);

}  // namespace kuv
