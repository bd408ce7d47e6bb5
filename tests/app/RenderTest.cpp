#include "app/Render.h"
#include "language/Link.h"
#include "language/Cp932.h"
#include "picture/Bmp.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace kuv {
namespace {

class RenderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    std::string Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)).toStdString(); }

    void WriteFile(const char* name, const std::string& bytes) const {
        QFile f(QString::fromStdString(Path(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    std::string ReadFile(const std::string& path) const {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly)) return "<missing>";
        return f.readAll().toStdString();
    }

    int Render(std::vector<std::string> args, const std::string& input = "") {
        std::istringstream in(input);
        out.str("");
        err.str("");
        return RenderMain(args, in, out, err);
    }

    std::ostringstream out, err;
};

TEST_F(RenderTest, CleanRunWritesBothFilesAndPrintsNothing) {
    WriteFile("a.kuv", "rem\nline 0 0 640 480 2\n\nend\n");
    EXPECT_EQ(Render({"-o", Path("a.bmp"), "-l", Path("out.kuv"), Path("a.kuv")}), 0);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(ReadFile(Path("out.kuv")), "REM\r\nLINE 0 0 640 480 2\r\nEND\r\n");
    const std::string bmp = ReadFile(Path("a.bmp"));
    ASSERT_EQ(bmp.size(), kBmpFileSize);
    EXPECT_EQ(bmp.substr(54, 4), std::string("\0\0\xff\0", 4));  // bottom-left pixel red
}

TEST_F(RenderTest, FileNamesAreBytesNotText) {
    // Shift_JIS names, as a Windows zip gives them: read and written under
    // exactly these bytes.
    const std::string listing = Path("") + "\x82\xa0.kuv", picture = Path("") + "\x82\xa0out.png";
    std::FILE* f = std::fopen(listing.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("BOX 1 1 9 9 2\r\n", f);
    std::fclose(f);
    EXPECT_EQ(Render({listing, "-o", picture}), 0) << err.str();
    std::FILE* written = std::fopen(picture.c_str(), "rb");
    EXPECT_NE(written, nullptr);
    if (written) std::fclose(written);
    ::unlink(listing.c_str());
    ::unlink(picture.c_str());
}

TEST_F(RenderTest, ListingErrorPrintsItsLineAndStillWritesTheOutputs) {
    WriteFile("e.kuv", "LINE 0 0 10 0 2\r\nREM\r\nOOPS\r\nLINE 0 5 10 5 2\r\n");
    EXPECT_EQ(Render({"-o", Path("e.png"), "-l", Path("e.out"), Path("e.kuv")}), 1);
    EXPECT_EQ(err.str(), "  3行：命令の間違い\n");
    const QImage image(QString::fromStdString(Path("e.png")));
    ASSERT_EQ(image.size(), QSize(641, 481));
    EXPECT_EQ(image.pixel(0, 480), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 475), qRgb(255, 255, 255));
    EXPECT_EQ(ReadFile(Path("e.out")), "LINE 0 0 10 0 2\r\nREM\r\nOOPS\r\nLINE 0 5 10 5 2\r\n");
}

TEST_F(RenderTest, ReadsStandardInput) {
    EXPECT_EQ(Render({"-l", Path("s.out"), "-"}, "circle 100 100\n"), 1);
    EXPECT_EQ(err.str(), "  1行：設定値が足りません\n");
    EXPECT_EQ(ReadFile(Path("s.out")), "CIRCLE 100 100\r\n");
}

TEST_F(RenderTest, AnUnclearedPictureIsWrittenWhite) {
    WriteFile("end.kuv", "END\n");
    EXPECT_EQ(Render({"-o", Path("w.bmp"), Path("end.kuv")}), 0);
    const std::string bmp = ReadFile(Path("w.bmp"));
    ASSERT_EQ(bmp.size(), kBmpFileSize);
    EXPECT_EQ(bmp.substr(54, 8), std::string("\xff\xff\xff\0\xff\xff\xff\0", 8));
}

TEST_F(RenderTest, AnEmptyFileRunsCleanAndGivesAWhitePicture) {
    WriteFile("empty.kuv", "");
    EXPECT_EQ(Render({"-o", Path("e.bmp"), "-l", Path("e.out"), Path("empty.kuv")}), 0);
    EXPECT_EQ(ReadFile(Path("e.out")), "");
    EXPECT_EQ(ReadFile(Path("e.bmp")).substr(54, 4), std::string("\xff\xff\xff\0", 4));
}

TEST_F(RenderTest, KeepsBytesThatAreNotText) {
    const std::string listing = "REM \x80\xff\x85\x41 \x82\xa0\r\nTEXT 10 100 0 \x8a\xbf\r\n";
    WriteFile("raw.kuv", listing);
    EXPECT_EQ(Render({"-l", Path("raw.out"), Path("raw.kuv")}), 0);
    EXPECT_EQ(ReadFile(Path("raw.out")), listing);
}

struct FailureRow {
    const char* intent;
    std::vector<std::string> args;  // "@" stands for the temporary folder
    int code;
    const char* message;  // the start of the first line of standard error
};

void PrintTo(const FailureRow& row, std::ostream* os) { *os << row.intent; }

class RenderFailureTest : public RenderTest, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(RenderFailureTest, ExitsWithTwoAndSaysWhy) {
    WriteFile("ok.kuv", "LINE 0 0 1 1 0\n");
    std::vector<std::string> args;
    for (std::string a : GetParam().args) {
        if (a.find('@') != std::string::npos) a.replace(a.find('@'), 1, dir.path().toStdString());
        args.push_back(a);
    }
    EXPECT_EQ(Render(args), GetParam().code) << GetParam().intent;
    std::string message = GetParam().message;
    const std::size_t at = message.find('@');
    if (at != std::string::npos) message.replace(at, 1, dir.path().toStdString());
    EXPECT_EQ(err.str().substr(0, message.size()), message) << GetParam().intent << ": " << err.str();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RenderFailureTest,
    ::testing::Values(
        FailureRow{"missing listing", {"@/none.kuv"}, 2, "ファイル @/none.kuv は開けません.\n"},
        FailureRow{"a folder as listing", {"@"}, 2, "ファイル @ は開けません.\n"},
        FailureRow{"picture in a missing folder", {"-o", "@/no/p.bmp", "@/ok.kuv"}, 2,
                   "ファイル @/no/p.bmp を作成できません.\n"},
        FailureRow{"listing out in a missing folder", {"-l", "@/no/x.kuv", "@/ok.kuv"}, 2,
                   "ファイル @/no/x.kuv を作成できません.\n"},
        FailureRow{"unknown picture type", {"-o", "@/p.gif", "@/ok.kuv"}, 2, "kuv-render: the picture's name"},
        FailureRow{"no listing", {}, 2, "kuv-render: no listing given"},
        FailureRow{"two listings", {"@/ok.kuv", "@/ok.kuv"}, 2, "kuv-render: only one listing"},
        FailureRow{"unknown option", {"-x", "@/ok.kuv"}, 2, "kuv-render: unknown option -x"},
        FailureRow{"option without its file", {"@/ok.kuv", "-o"}, 2, "kuv-render: -o needs a file name"},
        FailureRow{"unknown format", {"--format", "gif", "-o", "-", "@/ok.kuv"}, 2, "kuv-render: --format needs"},
        FailureRow{"picture and listing both to standard output", {"-o", "-", "-l", "-", "@/ok.kuv"}, 2,
                   "kuv-render: only one output can go to standard output"}));

TEST_F(RenderTest, OwnersAreWrittenAsA16BitPgmEvenAfterAnError) {
    WriteFile("o.kuv", "REM\nLINE 0 0 100 0 2\nLINE 0 5 10 5 1\nOOPS\n");
    EXPECT_EQ(Render({"--owners", Path("o.pgm"), Path("o.kuv")}), 1);
    const std::string pgm = ReadFile(Path("o.pgm"));
    const std::string header = "P5\n641 481\n65535\n";
    ASSERT_EQ(pgm.size(), header.size() + 641 * 481 * 2);
    EXPECT_EQ(pgm.substr(0, header.size()), header);
    auto owner = [&](int x, int row) {
        const std::size_t at = header.size() + 2 * (static_cast<std::size_t>(row) * 641 + x);
        return static_cast<unsigned char>(pgm[at]) << 8 | static_cast<unsigned char>(pgm[at + 1]);
    };
    EXPECT_EQ(owner(50, 480), 2);  // the bottom row, top row first in the file
    EXPECT_EQ(owner(5, 475), 3);
    EXPECT_EQ(owner(50, 470), 0);
}

TEST_F(RenderTest, StandardOutputTakesTheListingOrThePicture) {
    WriteFile("a.kuv", "line 0 0 640 480 2\n");
    EXPECT_EQ(Render({"-l", "-", Path("a.kuv")}), 0);
    EXPECT_EQ(out.str(), "LINE 0 0 640 480 2\r\n");
    for (const char* format : {"bmp", "jpg", "png"}) {
        const std::string file = Path("a.") + format;
        EXPECT_EQ(Render({"-o", file, Path("a.kuv")}), 0);
        EXPECT_EQ(Render({"-o", "-", "--format", format, Path("a.kuv")}), 0);
        EXPECT_EQ(out.str(), ReadFile(file)) << format;
    }
    EXPECT_EQ(Render({"-o", "-", Path("a.kuv")}), 0);
    EXPECT_EQ(out.str().substr(1, 3), "PNG");
}

TEST_F(RenderTest, TheFormatOptionOverridesTheName) {
    WriteFile("a.kuv", "END\n");
    EXPECT_EQ(Render({"--format", "bmp", "-o", Path("picture.png"), Path("a.kuv")}), 0);
    EXPECT_EQ(ReadFile(Path("picture.png")).substr(0, 2), "BM");
}

TEST_F(RenderTest, HelpAndVersionSucceed) {
    EXPECT_EQ(Render({"--help"}), 0);
    EXPECT_NE(out.str().find("usage: kuv-render"), std::string::npos);
    EXPECT_EQ(Render({"--version"}), 0);
    EXPECT_EQ(out.str().rfind("kuv-render ", 0), 0u);
}

TEST_F(RenderTest, FailedWriteLeavesAnExistingFileAlone) {
    WriteFile("ok.kuv", "LINE 0 0 1 1 0\n");
    WriteFile("keep.kuv", "old");
    QFile::setPermissions(QString::fromStdString(Path("keep.kuv")), QFile::ReadOwner);
    EXPECT_EQ(Render({"-l", Path("keep.kuv"), Path("ok.kuv")}), 2);
    QFile::setPermissions(QString::fromStdString(Path("keep.kuv")), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(ReadFile(Path("keep.kuv")), "old");
}

TEST_F(RenderTest, CheckListsEveryProblemWithItsTypedLineAndWritesNothing) {
    // The fourth line is the fourth of the file, third after the rewrite;
    // the PAINT's warning needs the run, which the first error would stop,
    // so it comes first here.
    WriteFile("c.kuv", Utf8ToCp932("CIRCLE 100 100 50 2\r\nPAINT 150 100 4 2\r\n\r\nＬＩＮＥ　１０　１０　２０　２０　１\r\n"
                                   "LINE 1 1 1 1 1\r\nEND\r\nNOPE\r\n"));
    EXPECT_EQ(Render({"--check", Path("c.kuv")}), 1);
    const std::string name = Path("c.kuv");
    EXPECT_EQ(out.str(), name + ":2: 注意: 塗り始めの点が境界の色なので、何も塗られません\n"
                               "  (x, y) の点は、もう境界の色の赤です。塗りたい形の内側の点を選びます。\n" +
                               name + ":4: エラー:   3行：命令の間違い\n"
                               "  全角の文字「Ｌ」が入っています。日本語入力をオフにして、半角で書きます。\n"
                               "  修正: LINE 10 10 20 20 1\n" +
                               name + ":5: 注意: 始点と終点が同じなので、線は描かれません\n"
                               "  LINE は (x1, y1) から (x2, y2) へ線を引きます。2 つの点を別の場所にすると、線が描かれます。\n");
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"c.kuv"});

    EXPECT_EQ(Render({"--check", "--json", Path("c.kuv")}), 1);
    EXPECT_NE(out.str().find("{\"line\": 4, \"run_line\": 3, \"severity\": \"error\", \"message\": \"  3行：命令の間違い\", "
                             "\"explanation\": \"全角の文字「Ｌ」"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("\"fix\": \"LINE 10 10 20 20 1\"}"), std::string::npos);
    EXPECT_NE(out.str().find("\"severity\": \"warning\""), std::string::npos);
}

TEST_F(RenderTest, CheckExitsCleanWithOnlyWarningsAndTwoWhenUnreadable) {
    WriteFile("w.kuv", "circle 1 1 0 1\r\n");
    EXPECT_EQ(Render({"--check", "--json", Path("w.kuv")}), 0);
    EXPECT_NE(out.str().find("\"run_line\": 1, \"severity\": \"warning\""), std::string::npos) << out.str();
    WriteFile("ok.kuv", "LINE 0 0 9 9 1\r\n");
    EXPECT_EQ(Render({"--check", "--json", Path("ok.kuv")}), 0);
    EXPECT_EQ(out.str(), "[]\n");
    EXPECT_EQ(Render({"--check", Path("missing.kuv")}), 2);
    EXPECT_NE(err.str().find("は開けません"), std::string::npos) << err.str();
    EXPECT_EQ(Render({"--check", "-"}, "BOX 1 2\n"), 1);
    EXPECT_NE(out.str().find("-:1: エラー:   1行：設定値が足りません\n  BOX には x2、y2、色 が足りません。"), std::string::npos)
        << out.str();
    EXPECT_EQ(Render({"--check", "--batch", "out", Path("ok.kuv")}), 2);
    EXPECT_EQ(Render({"--check", "-o", "x.png", Path("ok.kuv")}), 2);
    EXPECT_NE(err.str().find("usage: kuv-render --check [--json] LISTING"), std::string::npos);
}

TEST_F(RenderTest, DescribeGivesTheSummaryAndAnItemPerStatementDrawnUpToAnError) {
    WriteFile("d.kuv", Utf8ToCp932("BOX 100 100 300 300 1\r\nREM\r\nCIRCLE 200 200 50 2\r\nNOPE\r\nLINE 0 0 9 9 1\r\n"));
    EXPECT_EQ(Render({"--describe", Path("d.kuv")}), 1);
    const std::string text = out.str();
    EXPECT_EQ(text.substr(0, text.find('\n')), "描いた命令は 2 個、使った色は 青、赤 です。");
    EXPECT_NE(text.find("\n3行 円（赤）: 中心 (200, 200)、半径 50。左に見えます"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_EQ(err.str(), "  4行：命令の間違い\n");

    EXPECT_EQ(Render({"--describe", "--json", Path("d.kuv")}), 1);
    const std::string json = out.str();
    EXPECT_NE(json.find("{\"line\": 1, \"statement\": \"BOX\", \"colour\": 1, \"params\": [100, 100, 300, 300, 1], "
                        "\"text\": null, \"pixels\": 800, \"bbox\": [100, 100, 300, 300], \"place\": \"左\", "
                        "\"hidden_by\": null, \"inside\": null, \"percent\": null, \"words\": "),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"inside\": 1"), std::string::npos);
    EXPECT_EQ(Render({"--describe", "--check", Path("d.kuv")}), 2);
    EXPECT_EQ(Render({"--describe", Path("none.kuv")}), 2);
}

TEST_F(RenderTest, DescribeNamesPaint24sComponentsAndAFillsShare) {
    EXPECT_EQ(Render({"--describe", "--json", "-"}, "BOX 320 0 640 480 0\nPAINT24 0 0 0 255 0\n"), 0);
    EXPECT_NE(out.str().find("\"colour\": [0, 255, 0], \"params\": [0, 0, 0, 255, 0], \"text\": null, \"pixels\": 153920"),
              std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("\"percent\": 49.9"), std::string::npos);
}

TEST_F(RenderTest, LinkPrintsTheLinkThatOpensTheListingAndRefusesWhatNoLinkCanHold) {
    WriteFile("l.kuv", "LINE 0 0 9 9 1\nEND\n");
    EXPECT_EQ(Render({"--link", "https://school.example/kuv/#k=old", Path("l.kuv")}), 0);
    const std::string link = out.str();
    ASSERT_EQ(link.back(), '\n');
    EXPECT_EQ(link.rfind("https://school.example/kuv/#k=", 0), 0u) << link;
    EXPECT_EQ(ListingOfLink(link.substr(0, link.size() - 1)).listing, "LINE 0 0 9 9 1\r\nEND\r\n");
    EXPECT_EQ(Render({Path("l.kuv"), "--link", "https://school.example/kuv/"}), 0) << "the mode word may stand anywhere";
    EXPECT_EQ(out.str(), link);

    std::mt19937 random(3);
    std::string noise;
    while (noise.size() < 150000) noise += "REM " + std::to_string(random()) + "\r\n";
    WriteFile("long.kuv", noise);
    EXPECT_EQ(Render({"--link", "https://school.example/", Path("long.kuv")}), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_NE(err.str().find("32,000"), std::string::npos) << err.str();

    EXPECT_EQ(Render({"--link", "https://school.example/", Path("none.kuv")}), 2);
    EXPECT_EQ(Render({"--link"}), 2);
    EXPECT_EQ(Render({"--link", "https://school.example/"}), 2);
    EXPECT_EQ(Render({"--link", "https://school.example/", "--json", Path("l.kuv")}), 2);
    EXPECT_EQ(Render({"--link", "https://school.example/", "--batch", "out", Path("l.kuv")}), 2);
    EXPECT_NE(err.str().find("usage: kuv-render --link BASE_URL LISTING"), std::string::npos);
}

}  // namespace
}  // namespace kuv
