// kuv-render: runs a listing file as the Run command does and writes the
// Picture and the rewritten listing.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kuv {

// Exit codes: 0 clean run, 1 listing error, 2 file or usage failure.
int RenderMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err);

}  // namespace kuv
