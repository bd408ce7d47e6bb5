#include "language/Cp932.h"
#include "language/ListingText.h"
#include "shell/ErrorUnit1.h"
#include "shell/Files.h"
#include "shell/Forms.h"
#include "shell/ListingEditor.h"
#include "shell/MainUnit2.h"
#include "shell/ShiftJis.h"
#include "support/FormsFixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <random>

namespace kuv {
namespace {

using test::kCancel;

class FilesTest : public test::FormsFixture {
protected:
    void Open(const QString& path) {
        dialogs->answers << path;
        M().N1Click();
    }
    // Closes the main window as its close button does; true when it closed.
    bool Close() {
        QCloseEvent e;
        QApplication::sendEvent(&M(), &e);
        return e.isAccepted();
    }
};

TEST_F(FilesTest, StartUpState) {
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_FALSE(M().Modified);
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_EQ(M().OpenDialog1.fileName, "*.kuv");
    EXPECT_EQ(M().OpenDialog1.filter, "グラフィック記述言語 (*.kuv)");
    EXPECT_EQ(M().SaveDialog1.fileName, "noname");
    EXPECT_EQ(M().SaveDialog1.filter, "グラフィック描画言語 (noname.kuv)");
    EXPECT_EQ(M().SaveDialog2.fileName, "noname");
    EXPECT_EQ(M().SaveDialog3.fileName, "noname");
}

struct NameRow {
    const char* typed;
    const char* written;
};
void PrintTo(const NameRow& row, std::ostream* os) { *os << row.typed; }

class SaveAsNameTest : public FilesTest, public ::testing::WithParamInterface<NameRow> {};

TEST_P(SaveAsNameTest, CompletesTheExtensionByBytes) {
    dialogs->answers << Path(GetParam().typed);
    EXPECT_TRUE(M().Save1Click());
    const QString written = Path(GetParam().written);
    EXPECT_EQ(Read(written), "REM\r\nEND\r\n");
    EXPECT_EQ(M().CurrentFileName, written);
    EXPECT_EQ(M().Edit1->text(), written);
    EXPECT_EQ(M().SaveDialog1.fileName, written);
    EXPECT_FALSE(M().Modified);  // Save As leaves the flag as it was
}

INSTANTIATE_TEST_SUITE_P(Rows, SaveAsNameTest,
                         ::testing::Values(NameRow{"prog", "prog.kuv"}, NameRow{"prog.txt", "prog.txt.kuv"},
                                           NameRow{"prog.KUV", "prog.KUV.kuv"}, NameRow{"prog.kuv", "prog.kuv"},
                                           NameRow{"a", "a.kuv"}));

struct BaseRow {
    const char* path;
    const char* base;
};
void PrintTo(const BaseRow& row, std::ostream* os) { *os << row.path; }

class BaseNameTest : public ::testing::TestWithParam<BaseRow> {};

TEST_P(BaseNameTest, DropsFolderAndLastExtension) {
    EXPECT_EQ(BaseName(QString::fromUtf8(GetParam().path)), QString::fromUtf8(GetParam().base));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BaseNameTest,
    ::testing::Values(BaseRow{"C:\\work\\house.kuv", "house"}, BaseRow{"C:\\work\\a.b.kuv", "a.b"},
                      BaseRow{"C:\\work\\plain", "plain"}, BaseRow{"C:\\work\\.kuv", ""},
                      BaseRow{"/home/u/pic.kuv", "pic"}, BaseRow{"C:pic.kuv", "pic"}, BaseRow{"noname.kuv", "noname"},
                      // 表 and ソ end in byte 0x5C in CP932, which is never a delimiter.
                      BaseRow{"C:\\表\\ソ.kuv", "ソ"}, BaseRow{"C:\\work\\表.kuv", "表"},
                      BaseRow{"/tmp/表示/a.kuv", "a"}));

TEST_F(FilesTest, OverwriteSaveAfterStartUpWritesNonameHere) {
    M().Modified = true;
    M().Save2Click();
    EXPECT_EQ(Read(Path("noname.kuv")), "REM\r\nEND\r\n");
    EXPECT_EQ(dialogs->messages, QStringList{"上書き保存をしました"});
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_FALSE(M().Modified);
    M().Save1Click();  // cancelled
    ASSERT_EQ(dialogs->shown.size(), 1u);
    EXPECT_EQ(dialogs->shown[0].fileName, "noname.kuv");
}

TEST_F(FilesTest, FirstSaveAsWithTheProposedName) {
    QDir(dir.path()).mkdir("sub");
    dialogs->answers << Path("sub/noname");
    M().Save1Click();
    EXPECT_EQ(dialogs->shown[0].fileName, "noname");
    EXPECT_EQ(Read(Path("sub/noname.kuv")), "REM\r\nEND\r\n");
    EXPECT_EQ(M().Edit1->text(), Path("sub/noname.kuv"));
    EXPECT_EQ(QDir::currentPath(), Path("sub"));  // the dialog moved the current directory
}

TEST_F(FilesTest, OpenSetsTheNamesOfEveryDialog) {
    Write(Path("house.kuv"), "REM HOUSE\r\nBOX 1 1 9 9 0\r\n");
    M().Memo1->setPlainText("changed");
    Open(Path("house.kuv"));
    EXPECT_EQ(M().Memo1->toPlainText(), "REM HOUSE\nBOX 1 1 9 9 0\n");
    EXPECT_EQ(M().CurrentFileName, Path("house.kuv"));
    EXPECT_EQ(M().Edit1->text(), Path("house.kuv"));
    EXPECT_EQ(M().SaveDialog1.fileName, "house");
    EXPECT_EQ(M().SaveDialog2.fileName, "house");
    EXPECT_EQ(M().SaveDialog3.fileName, "house");
    EXPECT_EQ(M().OpenDialog1.fileName, Path("house.kuv"));
    EXPECT_FALSE(M().Modified);
    EXPECT_TRUE(dialogs->errors.isEmpty());
    // The replaced listing is one undo away.
    M().Memo1->undo();
    EXPECT_EQ(M().Memo1->toPlainText(), "changed");
}

TEST_F(FilesTest, SaveAsGivesTheBaseNameToTheImageDialogs) {
    dialogs->answers << Path("art.kuv");
    M().Save1Click();
    EXPECT_EQ(M().SaveDialog1.fileName, Path("art.kuv"));
    EXPECT_EQ(M().SaveDialog2.fileName, "art");
    EXPECT_EQ(M().SaveDialog3.fileName, "art");
}

TEST_F(FilesTest, CancelChangesNothing) {
    M().Memo1->setPlainText("X");
    M().N1Click();
    EXPECT_TRUE(M().Save1Click());
    EXPECT_EQ(M().Memo1->toPlainText(), "X");
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_EQ(M().SaveDialog1.fileName, "noname");
    EXPECT_EQ(M().OpenDialog1.fileName, "*.kuv");
    EXPECT_TRUE(M().Modified);
    EXPECT_EQ(QDir::currentPath(), dir.path());
}

TEST_F(FilesTest, CloseAfterSaveAsStillOffersSaveAs) {
    M().Memo1->setPlainText("REM A");
    dialogs->answers << Path("a.kuv");
    M().Save1Click();
    EXPECT_TRUE(Close());  // Cancel in the dialog still ends the program
    EXPECT_EQ(dialogs->shown.size(), 2u);
}

TEST_F(FilesTest, CloseAfterOverwriteSaveAsksNothing) {
    M().Memo1->setPlainText("REM A");
    M().Save2Click();
    EXPECT_TRUE(Close());
    EXPECT_TRUE(dialogs->shown.empty());
}

TEST_F(FilesTest, CloseAfterARunOffersSaveAs) {
    M().N4Click();
    dialogs->answers << Path("run.kuv");
    EXPECT_TRUE(Close());
    EXPECT_EQ(Read(Path("run.kuv")), "REM\r\nEND\r\n");
}

TEST_F(FilesTest, AFailedSaveWhileClosingKeepsTheProgramRunning) {
    M().Memo1->setPlainText("REM A");
    dialogs->answers << Path("missing/a.kuv");
    EXPECT_FALSE(Close());
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + Path("missing/a.kuv") + " を作成できません"});
    EXPECT_EQ(M().Memo1->toPlainText(), "REM A");
}

TEST_F(FilesTest, LineBreaksAreMadeCrLfAndAMissingLastBreakStaysMissing) {
    Write(Path("lf.kuv"), "REM A\nEND");
    Open(Path("lf.kuv"));
    M().Save2Click();
    EXPECT_EQ(Read(Path("lf.kuv")), "REM A\r\nEND");
}

TEST_F(FilesTest, AZeroByteEndsTheText) {
    Write(Path("z.kuv"), std::string("REM A\r\nLI\0NE\r\nEND\r\n", 19));
    Open(Path("z.kuv"));
    EXPECT_EQ(M().Memo1->toPlainText(), "REM A\nLI");
}

TEST_F(FilesTest, EmptyListingsAndEmptyFiles) {
    M().Memo1->setPlainText("");
    dialogs->answers << Path("empty.kuv");
    M().Save1Click();
    EXPECT_EQ(Read(Path("empty.kuv")), "");
    M().Memo1->setPlainText("REM");
    Open(Path("empty.kuv"));
    EXPECT_EQ(M().Memo1->toPlainText(), "");
}

TEST_F(FilesTest, AMissingFileLeavesEverythingButTheOpenDialogsName) {
    M().Memo1->setPlainText("KEEP");
    Open(Path("none.kuv"));
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + Path("none.kuv") + " は開けません"});
    EXPECT_EQ(ErrorBoxText(dialogs->errors[0]), "ファイル " + Path("none.kuv") + " は開けません.");
    EXPECT_EQ(M().Memo1->toPlainText(), "KEEP");
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_EQ(M().SaveDialog1.fileName, "noname");
    EXPECT_TRUE(M().Modified);
    EXPECT_EQ(M().OpenDialog1.fileName, Path("none.kuv"));
}

TEST_F(FilesTest, OverwriteIntoAFolderThatIsGone) {
    QDir(dir.path()).mkdir("gone");
    dialogs->answers << Path("gone/a.kuv");
    M().Save1Click();
    QDir(Path("gone")).removeRecursively();
    M().Memo1->setPlainText("NEW");
    M().Save2Click();
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + Path("gone/a.kuv") + " を作成できません"});
    EXPECT_TRUE(M().Modified);
    EXPECT_TRUE(dialogs->messages.isEmpty());
    EXPECT_EQ(M().SaveDialog1.fileName, Path("gone/a.kuv"));
}

TEST_F(FilesTest, SaveAsFailureKeepsEverythingButTheCompletedName) {
    dialogs->answers << Path("missing/prog");
    EXPECT_FALSE(M().Save1Click());
    EXPECT_EQ(M().SaveDialog1.fileName, Path("missing/prog.kuv"));
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_EQ(M().SaveDialog2.fileName, "noname");
}

TEST_F(FilesTest, AReadOnlyFileIsNotReplaced) {
    Write(Path("ro.kuv"), "OLD");
    QFile::setPermissions(Path("ro.kuv"), QFile::ReadOwner | QFile::ReadGroup);
    dialogs->answers << Path("ro.kuv");
    EXPECT_FALSE(M().Save1Click());
    QFile::setPermissions(Path("ro.kuv"), QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(Read(Path("ro.kuv")), "OLD");
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + Path("ro.kuv") + " を作成できません"});
}

// A save that cannot write all its bytes leaves the earlier file as it was.
TEST_F(FilesTest, AFullDiskLeavesTheEarlierFile) {
    Write(Path("big.kuv"), "OLD");
    M().Memo1->setPlainText(QString(100000, 'x'));
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    struct rlimit small = old;
    small.rlim_cur = 4096;  // files may not grow past 4 KiB: the disk is full
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    dialogs->answers << Path("big.kuv");
    const bool saved = M().Save1Click();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(dialogs->errors, QStringList{"ストリームへの書き込みエラー"});
    EXPECT_EQ(Read(Path("big.kuv")), "OLD");
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
}

TEST_F(FilesTest, AFullTmpfsLeavesTheEarlierFile) {
    const QString mountPoint = Path("small");
    QDir(dir.path()).mkdir("small");
    if (mount("tmpfs", mountPoint.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "no permission to mount a small tmpfs";
    Write(mountPoint + "/p.kuv", "OLD");
    M().Memo1->setPlainText(QString(200000, 'x'));
    dialogs->answers << mountPoint + "/p.kuv";
    const bool saved = M().Save1Click();
    const std::string after = Read(mountPoint + "/p.kuv");
    umount(mountPoint.toLocal8Bit().constData());
    EXPECT_FALSE(saved);
    EXPECT_EQ(dialogs->errors, QStringList{"ストリームへの書き込みエラー"});
    EXPECT_EQ(after, "OLD");
}

// The commands on a real, full file system that tests/system/write_failures.sh
// mounts: it holds old.kuv, old.jpg and a file that fills the rest.
class FullDisk : public FilesTest {
protected:
    void SetUp() override { UseFolder("KUV_FULL_DISK", "run by write_failures.sh, on a full tmpfs"); }
    // The folder that write_failures.sh names in the variable; the test is
    // skipped without it.
    void UseFolder(const char* variable, const char* skipped) {
        FilesTest::SetUp();
        disk = qEnvironmentVariable(variable);
        if (disk.isEmpty()) GTEST_SKIP() << skipped;
    }
    QString On(const char* name) const { return disk + "/" + name; }
    QString disk;
};

TEST_F(FullDisk, OverwriteSaveOfAShortListingFailsAndKeepsTheFile) {
    const std::string before = Read(On("old.kuv"));
    M().CurrentFileName = On("old.kuv");
    M().Memo1->setPlainText("LINE 0 0 10 10 1\n");
    M().Save2Click();
    EXPECT_EQ(dialogs->errors, QStringList{"ストリームへの書き込みエラー"});
    EXPECT_TRUE(dialogs->messages.isEmpty());  // no "上書き保存をしました"
    EXPECT_TRUE(M().Modified);
    EXPECT_EQ(Read(On("old.kuv")), before);
}

TEST_F(FullDisk, SaveAsOfAShortListingFailsAndKeepsTheFile) {
    const std::string before = Read(On("old.kuv"));
    M().Memo1->setPlainText("REM\n");
    dialogs->answers << On("old.kuv");
    EXPECT_FALSE(M().Save1Click());
    EXPECT_EQ(dialogs->errors, QStringList{"ストリームへの書き込みエラー"});
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_EQ(Read(On("old.kuv")), before);
}

TEST_F(FullDisk, ImageExportsFailAndKeepTheFile) {
    const std::string before = Read(On("old.jpg"));
    M().N4Click();
    dialogs->answers << On("old.jpg") << On("new.bmp");
    M().JPGClick();
    M().BMPClick();
    EXPECT_EQ(dialogs->errors, QStringList({"ストリームへの書き込みエラー", "ストリームへの書き込みエラー"}));
    EXPECT_EQ(Read(On("old.jpg")), before);
    EXPECT_FALSE(QFile::exists(On("new.bmp")));
}

// Device nodes that write_failures.sh makes: null.kuv, null.jpg and null.bmp
// take everything, full.kuv and full.jpg take nothing.
class Devices : public FullDisk {
protected:
    void SetUp() override { UseFolder("KUV_DEVICES", "run by write_failures.sh, on device nodes of its own"); }
    bool IsDevice(const char* name) const {
        struct stat st;
        return lstat(On(name).toLocal8Bit().constData(), &st) == 0 && S_ISCHR(st.st_mode);
    }
};

TEST_F(Devices, SaveAsAndExportsWriteADeviceInPlace) {
    M().N4Click();
    dialogs->answers << On("null.kuv") << On("null.jpg") << On("null.bmp");
    EXPECT_TRUE(M().Save1Click());
    M().JPGClick();
    M().BMPClick();
    EXPECT_TRUE(dialogs->errors.isEmpty()) << dialogs->errors.join(", ").toStdString();
    EXPECT_EQ(M().CurrentFileName, On("null.kuv"));
    for (const char* name : {"null.kuv", "null.jpg", "null.bmp"}) EXPECT_TRUE(IsDevice(name)) << name;
}

TEST_F(Devices, AFullDeviceIsAWriteError) {
    M().N4Click();
    dialogs->answers << On("full.kuv") << On("full.jpg");
    EXPECT_FALSE(M().Save1Click());
    M().JPGClick();
    EXPECT_EQ(dialogs->errors, QStringList({"ストリームへの書き込みエラー", "ストリームへの書き込みエラー"}));
    EXPECT_TRUE(IsDevice("full.kuv"));
    EXPECT_TRUE(IsDevice("full.jpg"));
}

TEST_F(FilesTest, TheEditorsLimitHoldsOnBothSides) {
    EXPECT_GE(TFormM::kDefaultEditorLimit, std::size_t{64} << 20);
    M().EditorLimit = 100;
    Write(Path("fits.kuv"), std::string(98, 'a') + "\r\n");
    Write(Path("over.kuv"), std::string(99, 'a') + "\r\n");
    Open(Path("fits.kuv"));
    EXPECT_TRUE(dialogs->errors.isEmpty());
    EXPECT_EQ(M().Memo1->toPlainText().size(), 99);
    M().Memo1->setPlainText("KEEP");
    Open(Path("over.kuv"));
    EXPECT_EQ(dialogs->errors, QStringList{"文字列の大きさが メモ の制限を越えました"});
    EXPECT_EQ(M().Memo1->toPlainText(), "KEEP");
    EXPECT_EQ(M().CurrentFileName, Path("fits.kuv"));
}

// The most this process may map from now on: what it has mapped, plus extra.
void LimitAddressSpace(std::size_t extra) {
    QFile statm("/proc/self/statm");
    statm.open(QIODevice::ReadOnly);
    const std::size_t pages = statm.readAll().split(' ').first().toULongLong();
    const rlimit limit{pages * 4096 + extra, pages * 4096 + extra};
    setrlimit(RLIMIT_AS, &limit);
}

TEST_F(FilesTest, RunningOutOfMemoryIsAMessageAndKeepsTheListing) {
    {
        QFile big(Path("big.kuv"));
        ASSERT_TRUE(big.open(QIODevice::WriteOnly));
        const QByteArray mib(1 << 20, 'A');
        for (int i = 0; i < 256; ++i) big.write(mib);
    }
    EXPECT_EXIT(
        {
            M().EditorLimit = std::size_t{1} << 40;
            M().Memo1->setPlainText("KEEP");
            dialogs->answers << Path("big.kuv");
            LimitAddressSpace(std::size_t{128} << 20);
            M().N1->trigger();
            const bool ok = dialogs->errors == QStringList{"メモリストリームの拡大中にメモリが足りなくなりました"} &&
                            M().Memo1->toPlainText() == "KEEP" && M().CurrentFileName == "noname.kuv";
            std::_Exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(FilesTest, OpeningTheSameTextLeavesTheEditorUntouched) {
    Write(Path("same.kuv"), "REM\nEND\n");
    M().Memo1->document()->clearUndoRedoStacks();
    Open(Path("same.kuv"));
    EXPECT_FALSE(M().Memo1->document()->isUndoAvailable());
    EXPECT_FALSE(M().Modified);
}

TEST_F(FilesTest, OpenAndSaveGiveBackEveryByteButLineBreaks) {
    std::mt19937 rng(4);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int round = 0; round < 40; ++round) {
        std::string bytes(static_cast<std::size_t>(byte(rng) * 4), '\0');
        for (char& b : bytes) b = static_cast<char>(byte(rng));
        Write(Path("r.kuv"), bytes);
        Open(Path("r.kuv"));
        M().Save2Click();
        ASSERT_EQ(Read(Path("r.kuv")), NormaliseLoadedText(bytes)) << "round " << round;
    }
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

}  // namespace
}  // namespace kuv
