// kuv-render --batch: the same files as single runs, names that never
// collide, reports with one row per listing, and bad inputs that stop
// nothing.
#include "app/Batch.h"
#include "app/Render.h"
#include "language/Runner.h"
#include "picture/Compare.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>

namespace kuv {
namespace {

std::string ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "<missing>";
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

int Batch(std::vector<std::string> args) {
    std::istringstream in;
    std::ostringstream out, err;
    args.insert(args.begin(), "--batch");
    return RenderMain(args, in, out, err);
}

// Listings of mixed statements, some with an error.
std::string Generated(int seed) {
    std::mt19937 rng(static_cast<unsigned>(seed));
    auto n = [&](int hi) { return std::to_string(std::uniform_int_distribution<int>(0, hi)(rng)); };
    std::string text;
    for (int i = 0; i < 40; ++i) {
        switch (i % 5) {
            case 0: text += "line " + n(640) + " " + n(480) + " " + n(640) + " " + n(480) + " " + n(7); break;
            case 1: text += "circle " + n(640) + " " + n(480) + " " + n(100) + " " + n(7); break;
            case 2: text += "paint " + n(640) + " " + n(480) + " " + n(7) + " 0"; break;
            case 3: text += "text " + n(600) + " " + std::to_string(10 + i * 10) + " " + n(7) + " KUV"; break;
            default: text += seed % 3 == 0 && i == 24 ? "oops" : "rem"; break;
        }
        text += "\r\n";
    }
    return text;
}

TEST(Batch, GivesTheSameFilesAsSingleRunsWithOneThreadOrFour) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("in");
    QStringList inputs;
    for (const QString& sample : QDir(KUV_SAMPLES).entryList({"*.kuv"}))
        inputs << QDir(KUV_SAMPLES).filePath(sample);
    for (int i = 0; i < 8; ++i) {
        WriteFile(dir.filePath(QStringLiteral("in/g%1.kuv").arg(i)), Generated(i));
        inputs << dir.filePath(QStringLiteral("in/g%1.kuv").arg(i));
    }
    for (const char* jobs : {"1", "4"}) {
        const QString out = dir.filePath(QStringLiteral("out%1").arg(jobs));
        std::vector<std::string> args{out.toStdString(), "-j", jobs};
        for (const QString& in : inputs) args.push_back(in.toStdString());
        EXPECT_EQ(Batch(args), 1);  // some generated listings have an error
        for (const QString& in : inputs) {
            const QString name = QFileInfo(in).completeBaseName();
            std::istringstream none;
            std::ostringstream sink;
            RenderListing({in.toStdString(), dir.filePath("single.png").toStdString(), ImageFormat::Png,
                           dir.filePath("single.kuv").toStdString(), {}},
                          none, sink);
            EXPECT_EQ(ReadFile(out + "/" + name + ".png"), ReadFile(dir.filePath("single.png"))) << jobs << " " << name.toStdString();
            EXPECT_EQ(ReadFile(out + "/" + name + ".kuv"), ReadFile(dir.filePath("single.kuv"))) << jobs << " " << name.toStdString();
        }
    }
}

TEST(Batch, BadInputsStopNothingAndLeakIntoNothing) {
    QTemporaryDir dir;
    const QString in = dir.filePath("in");
    QDir(dir.path()).mkdir("in");
    WriteFile(in + "/a.kuv", "BOX 10 10 100 100 1\r\n");
    std::string binary(3000, '\0');
    std::mt19937 rng(1);
    for (char& b : binary) b = static_cast<char>(rng());
    WriteFile(in + "/binary.kuv", binary);
    WriteFile(in + "/big.kuv", "REM " + std::string(50'000'000, 'x') + "\r\nLINE 0 0 9 9 2\r\n");
    QDir(in).mkdir("folder.kuv");
    WriteFile(in + "/z.kuv", "CIRCLE 320 240 100 2\r\n");
    WriteFile(in + "/typo.kuv", "BOX 1 1 9 9 1\r\ncircel 1 1 1 1\r\n");
    const bool root = ::geteuid() == 0;
    if (!root) {
        WriteFile(in + "/locked.kuv", "REM\r\n");
        QFile::setPermissions(in + "/locked.kuv", {});
    }
    const QString out = dir.filePath("out");
    EXPECT_EQ(Batch({out.toStdString(), "-j", "3", in.toStdString(), (in + "/missing.kuv").toStdString()}), 2);
    std::istringstream none;
    std::ostringstream sink;
    for (const char* name : {"a", "z", "big"}) {
        RenderListing({(in + "/" + name + ".kuv").toStdString(), dir.filePath("single.png").toStdString(),
                       ImageFormat::Png, dir.filePath("single.kuv").toStdString(), {}},
                      none, sink);
        EXPECT_EQ(ReadFile(out + "/" + name + ".png"), ReadFile(dir.filePath("single.png"))) << name;
        EXPECT_EQ(ReadFile(out + "/" + name + ".kuv"), ReadFile(dir.filePath("single.kuv"))) << name;
    }
    const std::string csv = ReadFile(out + "/report.csv");
    EXPECT_NE(csv.find("folder.kuv,,,2,0,ファイル " + (in + "/folder.kuv").toStdString() + " は開けません."), std::string::npos);
    EXPECT_NE(csv.find("missing.kuv,,,2,0,ファイル "), std::string::npos);
    EXPECT_NE(csv.find("binary.kuv,binary.png,binary.kuv,1,"), std::string::npos);
    EXPECT_NE(csv.find("typo.kuv,typo.png,typo.kuv,1,2,命令の間違い,1,"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",「CIRCEL」という命令はありません。CIRCLE のことなら、「CIRCLE」と書きます。,,,,,\r\n"), std::string::npos);
    // The Picture in words: the gallery's alternative text, and in the JSON.
    const std::string html = ReadFile(out + "/index.html");
    EXPECT_NE(html.find("alt=\"描いた命令は 1 個、使った色は 赤 です。\""), std::string::npos);
    EXPECT_NE(ReadFile(out + "/report.json").find("\"summary\": \"描いた命令は 1 個、使った色は 青 です。\""), std::string::npos);
    if (!root) {
        EXPECT_NE(csv.find("locked.kuv,,,2,"), std::string::npos);
    }
    EXPECT_EQ(QDir(out).entryList({"*.tmp", ".*"}, QDir::Files | QDir::Hidden), QStringList());
}

TEST(Batch, EveryKuvEntryOfAFolderGetsItsRowWithoutWaiting) {
    QTemporaryDir dir;
    const std::string in = dir.filePath("in").toStdString(), out = dir.filePath("out").toStdString();
    ::mkdir(in.c_str(), 0777);
    const std::string sjisName = in + "/\x82\xa0.kuv";  // あ in Shift_JIS, from a Windows zip
    WriteFile(QString::fromStdString(in + "/good.KUV"), "BOX 10 10 100 100 1\r\n");
    WriteFile(QString::fromStdString(in + "/=HYPERLINK(1).kuv"), "REM\r\n");
    std::FILE* f = std::fopen(sjisName.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("CIRCLE 320 240 100 2\r\n", f);
    std::fclose(f);
    ASSERT_EQ(::symlink((in + "/nowhere").c_str(), (in + "/dangling.kuv").c_str()), 0);
    ASSERT_EQ(::symlink((in + "/loop.kuv").c_str(), (in + "/loop.kuv").c_str()), 0);
    ASSERT_EQ(::mkfifo((in + "/fifo.kuv").c_str(), 0666), 0);  // nobody writes it
    EXPECT_EQ(Batch({out, in}), 2);
    const std::string json = ReadFile(QString::fromStdString(out + "/report.json"));
    std::size_t rows = 0;
    for (std::size_t at = json.find("\"input\""); at != std::string::npos; at = json.find("\"input\"", at + 1)) ++rows;
    EXPECT_EQ(rows, 6u) << json;
    struct stat st;
    EXPECT_EQ(::stat((out + "/\x82\xa0.png").c_str(), &st), 0) << "the picture keeps the listing's own bytes";
    const std::string csv = ReadFile(QString::fromStdString(out + "/report.csv"));
    EXPECT_NE(csv.find(",'=HYPERLINK(1).png,'=HYPERLINK(1).kuv,"), std::string::npos) << "a formula-like cell is inert";
    EXPECT_NE(csv.find("fifo.kuv,,,2,"), std::string::npos);
    for (const std::string& name : {sjisName, out + "/\x82\xa0.png", out + "/\x82\xa0.kuv"}) ::unlink(name.c_str());
}

TEST(Batch, OutputNamesNeverCollideNorLandOnAnInput) {
    QTemporaryDir dir;
    const QStringList inputs{"a/house.kuv", "b/house.kuv", "house-2.kuv", "c/a.b.kuv", dir.filePath("kept.kuv")};
    EXPECT_EQ(OutputNames(inputs, dir.path()), QStringList({"house", "house-2", "house-2-2", "a.b", "kept-2"}));
}

struct StatusRow {
    std::vector<int> statuses;
    int batch;
};

TEST(Batch, ExitsWithTheWorstStatus) {
    for (const StatusRow& r : {StatusRow{{}, 0}, StatusRow{{0, 0}, 0}, StatusRow{{0, 1, 0}, 1}, StatusRow{{1, 2, 0}, 2},
                               StatusRow{{2, 0}, 2}}) {
        std::vector<BatchRow> rows;
        for (int s : r.statuses) rows.push_back(BatchRow{{}, {}, {}, s, s != 2, 0, {}, 0, 0, {}});
        EXPECT_EQ(BatchExitStatus(rows), r.batch);
    }
}

TEST(Batch, ReportRowsInCsvAndJson) {
    const std::vector<BatchRow> rows{
        BatchRow{"in/a,b.kuv", "a,b.png", "a,b.kuv", 0, true, 0, {}, 12, 3.5, {}},
        BatchRow{"in/e.kuv", "e.png", "e.kuv", 1, true, 3, "\"9\"は範囲外の数字です", 2, 1.0, {}, "色に使えるのは 0〜7 です。"},
        BatchRow{"gone.kuv", {}, {}, 2, false, 0, "ファイル gone.kuv は開けません.", 0, 0.1, {}}};
    const std::string csv = ReportCsv(rows);
    EXPECT_EQ(csv.substr(0, 3), "\xEF\xBB\xBF");  // the byte-order mark
    EXPECT_NE(csv.find("\r\n\"in/a,b.kuv\",\"a,b.png\",\"a,b.kuv\",0,0,,12,3.5,,,,,,\r\n"), std::string::npos);
    EXPECT_NE(csv.find("in/e.kuv,e.png,e.kuv,1,3,\"\"\"9\"\"は範囲外の数字です\",2,1.0,色に使えるのは 0〜7 です。,,,,,\r\n"), std::string::npos);
    const std::string json = ReportJson(rows, "2026-12-08 10:00");
    EXPECT_NE(json.find("\"input\": \"in/e.kuv\", \"picture\": \"e.png\", \"listing\": \"e.kuv\", \"exit_status\": 1, "
                        "\"error_line\": 3, \"message\": \"\\\"9\\\"は範囲外の数字です\", \"statements\": 2"),
              std::string::npos);
    const std::string html = ReportHtml(rows, "2026-12-08 10:00");
    EXPECT_NE(html.find("正常 1"), std::string::npos);
    EXPECT_NE(html.find("エラー 1"), std::string::npos);
    EXPECT_NE(html.find("読めない・書けない 1"), std::string::npos);
    EXPECT_NE(json.find("\"explanation\": \"色に使えるのは 0〜7 です。\", \"summary\": \"\", \"differing\": null, \"match\": null, "
                        "\"passed\": null, \"first_line\": null, \"answer_line\": null}"), std::string::npos);
    EXPECT_NE(html.find("<p class=\"explanation\">色に使えるのは 0〜7 です。</p>"), std::string::npos);
}

TEST(Batch, TheReportShowsTheErrorLineOfALongListing) {
    std::string listing;
    for (int i = 1; i <= 1000; ++i) listing += "REM " + std::to_string(i) + "\r\n";
    const QString shown = ShownListing(Listing(listing), 700);
    EXPECT_TRUE(shown.contains("<mark> 700  REM 700</mark>"));
    EXPECT_TRUE(shown.contains("   1  REM 1\n"));
    EXPECT_FALSE(shown.contains("REM 400\n"));
    EXPECT_LT(shown.count('\n'), 100);
}

// One listing beside the answer, as its report.json row gives it.
struct AnswerRow {
    const char* intent;
    const char* listing;
    int tolerance;
    const char* columns;  // the row's comparison, as report.json writes it
    int exitStatus;       // of the batch of this one listing
};
void PrintTo(const AnswerRow& r, std::ostream* os) { *os << r.intent; }

class BatchAnswerTest : public ::testing::TestWithParam<AnswerRow> {};

constexpr const char* kAnswer = "BOX 100 100 300 300 1\r\nCIRCLE 200 200 50 2\r\n";

TEST_P(BatchAnswerTest, ComparesEveryPictureWithTheAnswers) {
    const AnswerRow& r = GetParam();
    QTemporaryDir dir;
    WriteFile(dir.filePath("answer.kuv"), kAnswer);
    WriteFile(dir.filePath("student.kuv"), r.listing);
    const QString out = dir.filePath("out");
    std::vector<std::string> args{out.toStdString(), "--answer", dir.filePath("answer.kuv").toStdString()};
    if (r.tolerance) args.insert(args.end(), {"--tolerance", std::to_string(r.tolerance)});
    args.push_back(dir.filePath("student.kuv").toStdString());
    EXPECT_EQ(Batch(args), r.exitStatus);
    const std::string json = ReadFile(out + "/report.json");
    EXPECT_NE(json.find(r.columns), std::string::npos) << json;
    // The difference picture: a PNG of the Picture's size.
    const QImage diff(out + "/student-diff.png");
    EXPECT_EQ(diff.size(), QSize(641, 481));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchAnswerTest,
    ::testing::Values(
        AnswerRow{"the answer itself", kAnswer, 0,
                  "\"differing\": 0, \"match\": 100.0, \"passed\": true, \"first_line\": null, \"answer_line\": null", 0},
        AnswerRow{"a one-pixel change", "BOX 100 100 300 300 1\r\nCIRCLE 200 200 50 2\r\nLINE 5 5 6 5 0\r\n", 0,
                  "\"differing\": 1, \"match\": 100.0, \"passed\": false, \"first_line\": 3, \"answer_line\": null", 1},
        AnswerRow{"the tolerance lets it pass", "BOX 100 100 300 300 1\r\nCIRCLE 200 200 50 2\r\nLINE 5 5 6 5 0\r\n", 1,
                  "\"differing\": 1, \"match\": 100.0, \"passed\": true, \"first_line\": 3, \"answer_line\": null", 0},
        AnswerRow{"a missing line", "BOX 100 100 300 300 1\r\n", 0,
                  "\"differing\": 354, \"match\": 99.9, \"passed\": false, \"first_line\": null, \"answer_line\": 2", 1},
        AnswerRow{"an extra line", "REM\r\nBOX 100 100 300 300 1\r\nCIRCLE 200 200 50 2\r\nBOX 0 0 9 9 3\r\n", 0,
                  "\"differing\": 36, \"match\": 100.0, \"passed\": false, \"first_line\": 4, \"answer_line\": null", 1},
        AnswerRow{"a changed colour", "BOX 100 100 300 300 1\r\nCIRCLE 200 200 50 4\r\n", 0,
                  "\"differing\": 354, \"match\": 99.9, \"passed\": false, \"first_line\": 2, \"answer_line\": null", 1},
        AnswerRow{"an error", "BOX 100 100 300 300 1\r\nCIRCLE 200 200\r\n", 1000,
                  "\"exit_status\": 1, \"error_line\": 2", 1}));

TEST(Batch, AFaultyAnswerStopsTheBatchBeforeAnythingIsWritten) {
    QTemporaryDir dir;
    WriteFile(dir.filePath("answer.kuv"), "BOX 1 1 9 9 1\r\nOOPS\r\n");
    WriteFile(dir.filePath("s.kuv"), "BOX 1 1 9 9 1\r\n");
    std::istringstream in;
    std::ostringstream out, err;
    const QString outDir = dir.filePath("out");
    EXPECT_EQ(RenderMain({"--batch", outDir.toStdString(), "--answer", dir.filePath("answer.kuv").toStdString(),
                          dir.filePath("s.kuv").toStdString()},
                         in, out, err),
              2);
    EXPECT_NE(err.str().find("  2行：命令の間違い"), std::string::npos) << err.str();
    EXPECT_FALSE(QDir(outDir).exists());
    EXPECT_EQ(RenderMain({"--batch", outDir.toStdString(), "--answer", dir.filePath("none.kuv").toStdString(),
                          dir.filePath("s.kuv").toStdString()},
                         in, out, err),
              2);
    EXPECT_FALSE(QDir(outDir).exists());
    EXPECT_EQ(RenderMain({"--batch", outDir.toStdString(), "--tolerance", "5", dir.filePath("s.kuv").toStdString()}, in, out, err), 2);
    EXPECT_EQ(RenderMain({"--batch", outDir.toStdString(), "--answer", dir.filePath("s.kuv").toStdString(), "--tolerance", "-1",
                          dir.filePath("s.kuv").toStdString()},
                         in, out, err),
              2);
}

TEST(Compare, TheDifferencePictureFadesWhatIsSharedAndColoursWhatIsNot) {
    Listing a{std::string(kAnswer)}, s{std::string("BOX 100 100 300 300 1\r\nLINE 0 0 9 0 3\r\n")};
    Picture answer, student;
    answer.RecordOwners();
    student.RecordOwners();
    RunProgram(a, answer);
    RunProgram(s, student);
    const Picture d = DifferencePicture(student, answer);
    const auto at = [&](int x, int y) { return ColorRefFromPixel(d.At(x, Picture::RowOf(y))) & 0xFFFFFF; };
    EXPECT_EQ(at(250, 200), kOnlyInAnswer) << "the circle the student left out";
    EXPECT_EQ(at(3, 0), kOnlyInStudent) << "the line the answer has not";
    EXPECT_EQ(at(100, 150), 0xFFBFBFu) << "the shared blue box, faded to a quarter";
    EXPECT_EQ(at(500, 400), 0xFFFFFFu);
}

}  // namespace
}  // namespace kuv
