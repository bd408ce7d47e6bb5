// Writes the help page while building: the page's template with the colour
// table filled in from the program's own colours and their names, so that
// the page never names a colour differently from the program.
//   kuv-helppage TEMPLATE OUTPUT
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kuv-helppage TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::stringstream page;
    page << in.rdbuf();
    std::string text = page.str();
    const std::string marker = "<!-- colour rows -->\n";
    const std::size_t at = text.find(marker);
    if (!in || at == std::string::npos) {
        std::cerr << "kuv-helppage: no colour table in " << argv[1] << "\n";
        return 1;
    }
    text.replace(at, marker.size(), ColourRows());
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return out ? 0 : 1;
}
