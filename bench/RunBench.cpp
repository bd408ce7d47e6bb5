// Speed of a run: the parser alone, each statement kind, a whole-picture
// PAINT and a 100,000-line mixed listing. Figures are per second of
// statements (items_per_second) or time per run.
#include "language/Listing.h"
#include "language/Runner.h"
#include "language/Statements.h"
#include "picture/Drawing.h"
#include "picture/Picture.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace kuv;

// One statement of the given kind with random in-range parameters. LINE
// statements are about 100 pixels long.
std::string Statement(int kind, std::mt19937& rng) {
    auto r = [&](int lo, int hi) { return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    switch (kind) {
        case skLine: {
            const int x = std::uniform_int_distribution<int>(0, 540)(rng);
            const int y = std::uniform_int_distribution<int>(0, 380)(rng);
            const int dx = std::uniform_int_distribution<int>(0, 100)(rng);
            return "LINE " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + dx) + " " +
                   std::to_string(y + 100 - dx) + " " + r(0, 7);
        }
        case skBox: return "BOX " + r(0, 600) + " " + r(0, 440) + " " + r(0, 640) + " " + r(0, 480) + " " + r(0, 7);
        case skCircle: return "CIRCLE " + r(0, 640) + " " + r(0, 480) + " " + r(0, 100) + " " + r(0, 7);
        case skArc:
            return "ARC " + r(0, 640) + " " + r(0, 480) + " " + r(0, 100) + " " + r(0, 360) + " " + r(0, 360) + " " +
                   r(0, 7);
        // A fill inside a box of up to 40 x 40 pixels drawn in its border colour,
        // as listings colour in the shapes they draw: two statements.
        case skPaint:
        case skPaint24: {
            const int x = std::uniform_int_distribution<int>(0, 598)(rng);
            const int y = std::uniform_int_distribution<int>(0, 438)(rng);
            const int w = std::uniform_int_distribution<int>(2, 40)(rng);
            const int h = std::uniform_int_distribution<int>(2, 40)(rng);
            const std::string border = kind == skPaint ? r(0, 7) : "0";
            const std::string box = "BOX " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + w) +
                                    " " + std::to_string(y + h) + " " + border + "\r\n";
            const std::string at = std::to_string(x + 1) + " " + std::to_string(y + 1);
            return box + (kind == skPaint ? "PAINT " + at + " " + r(0, 7) + " " + border
                                          : "PAINT24 " + at + " " + r(0, 255) + " " + r(0, 255) + " " + r(0, 255));
        }
        case skText: return "TEXT " + r(0, 600) + " " + r(10, 480) + " " + r(0, 7) + " KUV " + r(0, 99);
        default: return "REM " + r(0, 1000);
    }
}

// A listing of exactly `lines` statements (END not counted), kinds in turn.
std::string ListingOf(const std::vector<int>& kinds, int lines, unsigned seed) {
    std::mt19937 rng(seed);
    std::string text;
    for (int i = 0; i < lines;) {
        const int kind = kinds[static_cast<std::size_t>(i) % kinds.size()];
        const std::string s = (kind == skPaint || kind == skPaint24) && i + 1 == lines ? Statement(skRem, rng)
                                                                                      : Statement(kind, rng);
        text += s;
        text += "\r\n";
        i += s.find('\n') == std::string::npos ? 1 : 2;
    }
    return text + "END\r\n";
}

void BM_ParserAlone(benchmark::State& state) {
    std::mt19937 rng(1);
    std::vector<std::string> lines;
    const int kinds[] = {skLine, skBox, skCircle, skArc, skText, skLine};
    for (int i = 0; i < 4096; ++i) lines.push_back(Statement(kinds[i % 6], rng));
    lines[5] = "PAINT 10 10 1 2";
    lines[11] = "PAINT24 10 10 1 2 3";
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseStatement(lines[i++ & 4095]));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_ParserAlone);

// Statements per second of one kind, normalising, parsing and drawing.
void BM_RunKind(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const int lines = 10000;
    const std::string text = ListingOf({kind}, lines, 7);
    Picture picture;
    for (auto _ : state) {
        Listing listing(text);
        benchmark::DoNotOptimize(RunProgram(listing, picture));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * lines);
    state.SetLabel(kind == skLine      ? "LINE ~100 px"
                   : kind == skBox     ? "BOX"
                   : kind == skCircle  ? "CIRCLE r<=100"
                   : kind == skArc     ? "ARC r<=100"
                   : kind == skPaint   ? "BOX + PAINT inside"
                   : kind == skPaint24 ? "BOX + PAINT24 inside"
                   : kind == skText    ? "TEXT"
                                       : "REM");
}
BENCHMARK(BM_RunKind)->Arg(skLine)->Arg(skBox)->Arg(skCircle)->Arg(skArc)->Arg(skPaint)->Arg(skPaint24)->Arg(skText)->Arg(skRem)->Unit(benchmark::kMillisecond);

void BM_PaintWholePicture(benchmark::State& state) {
    Picture picture;
    int colour = 0;
    for (auto _ : state) {
        PaintArea(picture, 320, 240, 1 + (colour++ % 6), 0);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}
BENCHMARK(BM_PaintWholePicture)->Unit(benchmark::kMicrosecond);

// A long mixed listing, and one of TEXT only, each without and with the
// record of which line painted each pixel, which every run of the desktop
// program keeps (its cost is the difference) and kuv-render --owners writes.
void BM_Listing100k(benchmark::State& state) {
    const bool textOnly = state.range(0) == 1;
    const std::string text = textOnly ? ListingOf({skText}, 100000, 11)
                                      : ListingOf({skLine, skBox, skCircle, skLine, skArc, skPaint, skRem, skPaint24,
                                                   skText, skLine},
                                                  100000, 11);
    Picture picture;
    if (state.range(1) == 1) picture.RecordOwners();
    for (auto _ : state) {
        Listing listing(text);
        benchmark::DoNotOptimize(RunProgram(listing, picture));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 100000);
    state.SetLabel(std::string(textOnly ? "TEXT" : "mixed") + (state.range(1) == 1 ? ", owners recorded" : ""));
}
BENCHMARK(BM_Listing100k)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
