// Figures for the explanations: no false alarm on random valid listings,
// fixes that are exact on a corpus of beginners' mistakes, and the cost of
// the live checks with explanations on a large listing.
//   explain_bench [LISTINGS]
#include "language/Cp932.h"
#include "language/Description.h"
#include "language/Explanations.h"
#include "language/Runner.h"
#include "picture/Picture.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace kuv;

std::mt19937 rng(20261209);
int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

// A valid drawing line as a learner writes it: any case, spaces where
// they may be, numbers in range.
std::string ValidLine() {
    const StatementForm& form = kStatements[static_cast<std::size_t>(Pick(0, 8))];
    std::string line(static_cast<std::size_t>(Pick(0, 2)), ' ');
    std::string word(form.word);
    if (Pick(0, 1)) std::transform(word.begin(), word.end(), word.begin(), [](char c) { return static_cast<char>(c | 0x20); });
    line += word;
    if (form.kind == skRem) return line + (Pick(0, 1) ? " a comment" : "");
    if (form.kind == skEnd) return "REM " + word;  // an END would end the listing early
    for (int n = 0; n < form.numbers; ++n) {
        const Parameter& p = form.parameters[static_cast<std::size_t>(n)];
        line += std::string(static_cast<std::size_t>(Pick(1, 2)), ' ') + std::to_string(Pick(p.lo, p.hi));
    }
    if (!form.rest.empty()) line += " KUV";
    return line;
}

// One mistake a beginner makes in a valid line; what it is called.
struct Mutation {
    const char* name;
    std::function<std::string(const std::string&)> apply;
};

std::string FullWidth(const std::string& line) {
    std::u16string s = DecodeCp932(line);
    for (char16_t& c : s) c = c == u' ' ? u'\u3000' : (c > 0x20 && c < 0x7F) ? static_cast<char16_t>(c + 0xFEE0) : c;
    return EncodeCp932(s);
}

std::string MisspellWord(const std::string& line) {
    std::string s = NormaliseLine(line);
    const std::size_t end = s.find(' ');
    if (end == std::string::npos || end < 3) return s;
    const std::size_t i = static_cast<std::size_t>(Pick(0, static_cast<int>(end) - 2));
    switch (Pick(0, 2)) {
        case 0: std::swap(s[i], s[i + 1]); break;       // a transposition
        case 1: s.erase(i, 1); break;                   // a letter left out
        default: s[i] = static_cast<char>('A' + Pick(0, 25));  // a wrong letter
    }
    return s;
}

std::string NoSpace(const std::string& line) {
    std::string s = NormaliseLine(line);
    const std::size_t end = s.find(' ');
    return end == std::string::npos ? s : s.erase(end, 1);
}

std::string Commas(const std::string& line) {
    std::string s = NormaliseLine(line);
    const std::size_t first = s.find(' ');
    for (std::size_t i = s.find(' ', first + 1); i != std::string::npos; i = s.find(' ', i + 1)) s[i] = ',';
    return s;
}

std::string LetterO(const std::string& line) {
    std::string s = NormaliseLine(line);
    const std::size_t zero = s.find('0');
    if (zero != std::string::npos) s[zero] = 'O';
    return s;
}

std::string OutOfRange(const std::string& line) {
    std::string s = NormaliseLine(line);
    const std::size_t last = s.rfind(' ');
    return last == std::string::npos ? s : s.substr(0, last + 1) + std::to_string(Pick(0, 1) ? 700 : -3);
}

const std::vector<Mutation> kMutations = {
    {"input method on", FullWidth}, {"misspelt word", MisspellWord}, {"no space after the word", NoSpace},
    {"commas between numbers", Commas}, {"O for 0", LetterO}, {"number out of range", OutOfRange},
};

double Ms(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
    // TEXT draws with Qt's fonts, which need an application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    const int listings = argc > 1 ? std::atoi(argv[1]) : 1000;

    // No false alarm: valid listings give no error, and only the warnings
    // that the rules name.
    int lines = 0, errors = 0;
    std::map<std::string, int> warnings;  // by message
    for (int l = 0; l < listings; ++l) {
        std::string text;
        const int count = Pick(1, 40);
        for (int i = 0; i < count; ++i) text += ValidLine() + "\r\n";
        lines += count;
        for (const Problem& p : ListProblems(Listing(text))) {
            if (p.error) {
                ++errors;
                std::printf("false alarm: %s\n", Utf16ToUtf8(p.message).c_str());
            } else {
                ++warnings[Utf16ToUtf8(p.message)];
            }
        }
    }
    int warned = 0;
    for (const auto& [line, n] : warnings) warned += n;
    std::printf("valid listings: %d (%d lines): %d errors, %d warnings\n", listings, lines, errors, warned);
    for (const auto& [message, n] : warnings) std::printf("  %5d  %s\n", n, message.c_str());

    // Fixes are exact: every fix offered parses, and Run gets past its line.
    std::printf("\n%-26s %7s %7s %9s %9s %9s\n", "mistake", "lines", "fixed", "restored", "parses", "run past");
    for (const Mutation& m : kMutations) {
        int tried = 0, fixed = 0, restored = 0, parses = 0, past = 0;
        for (int i = 0; i < 2000; ++i) {
            const std::string valid = ValidLine();
            const std::string wrong = m.apply(valid);
            if (!CheckLine(NormaliseLine(wrong)).args.error) continue;  // the slip made another valid line
            ++tried;
            const std::optional<Advice> advice = ExplainLine(wrong);
            if (!advice || !advice->fix) continue;
            ++fixed;
            // The line meant: the same statement, numbers and text.
            const LineVerdict meant = CheckLine(NormaliseLine(valid)), got = CheckLine(*advice->fix);
            restored += meant.kind == got.kind && meant.args.Nums == got.args.Nums && meant.args.Text == got.args.Text;
            parses += !CheckLine(*advice->fix).args.error;
            Listing listing("REM before\r\n" + *advice->fix + "\r\nREM after\r\n");
            Picture picture;
            const RunResult run = RunProgram(listing, picture);
            past += !run.error || run.error->line > 2;
        }
        std::printf("%-26s %7d %6.1f%% %8.1f%% %8.1f%% %8.1f%%\n", m.name, tried, 100.0 * fixed / std::max(tried, 1),
                    100.0 * restored / std::max(fixed, 1), 100.0 * parses / std::max(fixed, 1), 100.0 * past / std::max(fixed, 1));
    }

    // The live checks of a 100,000-line listing with explanations, as the
    // page asks for them after a paste: every line checked, its problems
    // listed; one line in ten has a mistake.
    std::string big;
    for (int i = 0; i < 100000; ++i) {
        const std::string valid = ValidLine();
        big += (i % 10 == 5 ? kMutations[static_cast<std::size_t>(i / 10 % kMutations.size())].apply(valid) : valid) + "\r\n";
    }
    const Listing listing(big);
    std::vector<double> times;
    std::size_t problems = 0;
    for (int round = 0; round < 5; ++round) {
        const auto started = std::chrono::steady_clock::now();
        problems = ListProblems(listing).size();
        times.push_back(Ms(started));
    }
    std::sort(times.begin(), times.end());
    const auto started = std::chrono::steady_clock::now();
    const std::size_t checked = CheckListing(listing).size();
    std::printf("\n100,000 lines (%zu problems): checks with explanations %.1f ms (median of 5); checks alone %.1f ms (%zu)\n",
                problems, times[2], Ms(started), checked);

    // The Picture in words after runs of 10,000 and 100,000 statements.
    for (const int count : {10000, 100000}) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            std::string line = ValidLine();
            if (NormaliseLine(line).rfind("PAINT", 0) == 0) line = "CIRCLE 320 240 " + std::to_string(i % 300) + " 2";
            text += line + "\r\n";
        }
        Listing run(text);
        Picture picture;
        picture.RecordOwners();
        const RunResult result = RunProgram(run, picture);
        const auto started = std::chrono::steady_clock::now();
        const Description d = DescribeRun(run, result.statementsRun, picture);
        std::printf("the Picture in words after %d statements (no fills): %.1f ms (%zu items)\n", count, Ms(started), d.items.size());
        // What every run tells at once: the summary and the change.
        const auto told = std::chrono::steady_clock::now();
        const RunStatements drawn = StatementsRun(run, result.statementsRun);
        const std::u16string summary = SummaryOfRun(result) + DescribeChange(drawn, drawn);
        std::printf("  what the run tells at once (summary and change): %.1f ms\n", Ms(told));
    }
    return errors == 0 ? 0 : 1;
}
