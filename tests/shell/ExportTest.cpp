#include "app/Render.h"
#include "picture/Bmp.h"
#include "picture/Drawing.h"
#include "picture/Jpeg.h"
#include "shell/Forms.h"
#include "shell/GraphUnit1.h"
#include "shell/ListingEditor.h"
#include "shell/MainUnit2.h"
#include "support/FormsFixture.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace kuv {
namespace {

class ExportTest : public test::FormsFixture {
protected:
    static std::string Bytes(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }
};

struct NameRow {
    const char* typed;
    const char* written;
};
void PrintTo(const NameRow& row, std::ostream* os) { *os << row.typed; }

class JpegNameTest : public ExportTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(JpegNameTest, CompletesTheExtensionByBytes) {
    dialogs->answers << Path(GetParam().typed);
    M().JPGClick();
    EXPECT_EQ(Read(Path(GetParam().written)), Bytes(EncodeJpeg(P()).bytes));
    EXPECT_EQ(M().SaveDialog2.fileName, Path(GetParam().written));
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Rows, JpegNameTest,
                         ::testing::Values(NameRow{"pic", "pic.jpg"}, NameRow{"pic.jpg", "pic.jpg"},
                                           NameRow{"pic.JPG", "pic.JPG.jpg"}, NameRow{"pic.jpeg", "pic.jpeg.jpg"},
                                           NameRow{"a", "a.jpg"}));

class BmpNameTest : public ExportTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(BmpNameTest, CompletesTheExtensionAndDropsStars) {
    dialogs->answers << Path(GetParam().typed);
    M().BMPClick();
    EXPECT_EQ(Read(Path(GetParam().written)), Bytes(EncodeBmp(P())));
    EXPECT_EQ(M().SaveDialog3.fileName, Path(GetParam().written));
}

INSTANTIATE_TEST_SUITE_P(Rows, BmpNameTest,
                         ::testing::Values(NameRow{"pic", "pic.bmp"}, NameRow{"pic.bmp", "pic.bmp"},
                                           NameRow{"pic.BMP", "pic.BMP.bmp"}, NameRow{"a", "a.bmp"},
                                           NameRow{"p*i*c", "pic.bmp"}, NameRow{"pic.b*mp", "pic.bmp"},
                                           NameRow{"*.bmp", ".bmp"}));

TEST_F(ExportTest, AClearedPictureIsWhiteInBothFormats) {
    M().N6Click();
    dialogs->answers << Path("w.bmp") << Path("w.jpg");
    M().BMPClick();
    M().JPGClick();
    const std::string bmp = Read(Path("w.bmp"));
    ASSERT_EQ(bmp.size(), kBmpFileSize);
    for (std::size_t i = 54; i < bmp.size(); i += 4) ASSERT_EQ(bmp.substr(i, 3), "\xff\xff\xff");
    EXPECT_EQ(Read(Path("w.jpg")).substr(0, 2), "\xff\xd8");
}

TEST_F(ExportTest, CancelWritesNothingAndKeepsTheNames) {
    M().BMPClick();
    M().JPGClick();
    EXPECT_EQ(M().SaveDialog2.fileName, "noname");
    EXPECT_EQ(M().SaveDialog3.fileName, "noname");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    ASSERT_EQ(dialogs->shown.size(), 2u);
    EXPECT_EQ(dialogs->shown[0].filter, "BMPファイル (*.bmp)");
    EXPECT_EQ(dialogs->shown[1].filter, "JPGファイル (*.jpg)");
}

TEST_F(ExportTest, EachDialogRemembersItsOwnName) {
    QDir(dir.path()).mkdir("pics");
    dialogs->answers << Path("pics/a.jpg");
    M().JPGClick();
    M().JPGClick();  // cancelled: shows the last name
    M().BMPClick();
    ASSERT_EQ(dialogs->shown.size(), 3u);
    EXPECT_EQ(dialogs->shown[1].fileName, Path("pics/a.jpg"));
    EXPECT_EQ(dialogs->shown[2].fileName, "noname");
}

TEST_F(ExportTest, AnExistingFileIsReplaced) {
    QFile f(Path("old.bmp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    dialogs->answers << Path("old.bmp");
    M().BMPClick();
    EXPECT_EQ(Read(Path("old.bmp")).size(), kBmpFileSize);
}

TEST_F(ExportTest, ExportsNeverTouchTheListing) {
    M().Memo1->setPlainText("REM");
    M().Modified = false;
    dialogs->answers << Path("x.bmp") << Path("x.jpg");
    M().BMPClick();
    M().JPGClick();
    EXPECT_FALSE(M().Modified);
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_EQ(M().Memo1->toPlainText(), "REM");
    EXPECT_EQ(M().SaveDialog1.fileName, "noname");
}

TEST_F(ExportTest, AFolderThatDoesNotExist) {
    dialogs->answers << Path("none/p") << Path("none/p");
    M().JPGClick();
    M().BMPClick();
    EXPECT_EQ(dialogs->errors, (QStringList{"ファイル " + Path("none/p.jpg") + " を作成できません",
                                            "ファイル " + Path("none/p.bmp") + " を作成できません"}));
    EXPECT_EQ(M().SaveDialog2.fileName, Path("none/p.jpg"));
}

TEST_F(ExportTest, AReadOnlyFileStaysAsItWas) {
    QFile f(Path("ro.jpg"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    QFile::setPermissions(Path("ro.jpg"), QFile::ReadOwner);
    dialogs->answers << Path("ro.jpg");
    M().JPGClick();
    QFile::setPermissions(Path("ro.jpg"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Read(Path("ro.jpg")), "old");
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + Path("ro.jpg") + " を作成できません"});
}

TEST_F(ExportTest, KuvRenderWritesTheSameJpegAsTheCommand) {
    const QString listing = Path("l.kuv");
    QFile f(listing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("CIRCLE 320 240 100 2\r\nPAINT 320 240 6 2\r\nTEXT 10 400 1 JPEG\r\n");
    f.close();
    dialogs->answers << listing << Path("cmd.jpg");
    M().N1Click();
    M().N4Click();
    M().JPGClick();
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(RenderMain({"-o", Path("cli.jpg").toStdString(), listing.toStdString()}, in, out, err), 0) << err.str();
    EXPECT_EQ(Read(Path("cli.jpg")), Read(Path("cmd.jpg")));
    EXPECT_GT(Read(Path("cmd.jpg")).size(), 1000u);
}

}  // namespace
}  // namespace kuv
