// Writes the walks' cosines and sines while building: cos(k / 100) and
// sin(k / 100) in the build machine's extended precision, for every step
// that a circle or an arc can reach, as exact hexadecimal literals. Both
// builds read them instead of working them out: in WebAssembly, long
// double is done in software and its own cosines cost a first circle
// several milliseconds; and the desktop's values are then the browser's.
//   kuv-trig-table OUTPUT.inc
#include "picture/WalkSteps.h"

#include <cmath>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kuv-trig-table OUTPUT.inc\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    for (int k = 0; k < kuv::kWalkSteps; ++k) {
        const long double t = static_cast<long double>(k) / 100.0L;
        std::fprintf(out, "{%LaL, %LaL},\n", std::cos(t), std::sin(t));
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
