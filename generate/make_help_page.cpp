// Writes the help page while building: the page's template with the colour
// table and the statements' forms and ranges filled in from the program's
// own tables, so that the page never says otherwise than the program.
//   kuv-help-page TEMPLATE OUTPUT
#include "language/Statements.h"
#include "picture/Drawing.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

std::string ColourRows() {
    std::string rows;
    for (std::size_t n = 0; n < kuv::ColorTable.size(); ++n) {
        const kuv::ColorRef c = kuv::ColorTable[n];
        const unsigned red = c & 0xFF, green = c >> 8 & 0xFF, blue = c >> 16 & 0xFF;
        char swatch[8];
        std::snprintf(swatch, sizeof swatch, "#%02x%02x%02x", red, green, blue);
        rows += "<tr><td>" + std::to_string(n) + "</td><td>" + std::string(kuv::ColorNames[n]) +
                "</td><td><span class=\"sw\" style=\"background:" + swatch + "\"></span></td><td>" +
                std::to_string(red) + "</td><td>" + std::to_string(green) + "</td><td>" + std::to_string(blue) +
                "</td></tr>\n";
    }
    return rows;
}

std::string Text(std::string_view s) { return std::string(s); }

// The rows of the statement table: the form and the ranges from the
// statement's own row, what it does from the template (word TAB text).
std::string StatementRows(const std::string& described) {
    std::string rows;
    for (const kuv::StatementForm& form : kuv::kStatements) {
        const std::string word = Text(form.word);
        const std::size_t at = described.find("\n" + word + "\t");
        const std::size_t start = at == std::string::npos ? at : at + word.size() + 2;
        const std::string what = at == std::string::npos ? "" : described.substr(start, described.find('\n', start) - start);
        std::string shape = word, ranges;
        for (int n = 0; n < form.numbers; ++n) {
            const kuv::Parameter& p = form.parameters[static_cast<std::size_t>(n)];
            shape += " " + Text(p.name);
            ranges += (ranges.empty() ? "" : "、") + Text(p.name) + " " + std::to_string(p.lo) + "～" + std::to_string(p.hi);
        }
        if (!form.rest.empty()) shape += " " + Text(form.rest);
        rows += "<tr><td><code>" + word + "</code></td><td><code>" + shape + "</code></td><td>" +
                (ranges.empty() ? "－" : ranges) + "</td><td>" + what + "</td></tr>\n";
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kuv-help-page TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream page;
    page << in.rdbuf();
    std::string text = page.str();
    const std::string marker = "<!-- colour rows -->\n";
    const std::size_t at = text.find(marker);
    if (!in || at == std::string::npos) {
        std::cerr << "kuv-help-page: no colour table in " << argv[1] << "\n";
        return 1;
    }
    text.replace(at, marker.size(), ColourRows());
    const std::string open = "<!-- statement rows", close = "-->\n";
    const std::size_t from = text.find(open), to = text.find(close, from);
    if (from == std::string::npos || to == std::string::npos) {
        std::cerr << "kuv-help-page: no statement table in " << argv[1] << "\n";
        return 1;
    }
    text.replace(from, to + close.size() - from, StatementRows(text.substr(from, to - from)));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out ? 0 : 1;
}
