// The desktop program's command line and the listing files it is handed:
// an argument at start-up, a file dropped onto the main window.
#include "language/Link.h"
#include "shell/CommandLine.h"
#include "shell/ListingEditor.h"
#include "support/FormsFixture.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

namespace kuv {
namespace {

using Action = ProgramArgs::Action;

struct ArgsRow {
    const char* intent;
    QStringList args;
    Action action;
    const char* file;
    const char* link = "";
};
void PrintTo(const ArgsRow& r, std::ostream* os) { *os << r.intent; }

class ProgramArgsTest : public ::testing::TestWithParam<ArgsRow> {};

TEST_P(ProgramArgsTest, TellsWhatToDo) {
    const ProgramArgs p = ParseProgramArgs(GetParam().args);
    EXPECT_EQ(p.action, GetParam().action);
    EXPECT_EQ(p.file, GetParam().file);
    EXPECT_EQ(p.link, GetParam().link);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ProgramArgsTest,
    ::testing::Values(ArgsRow{"nothing starts as ever", {}, Action::Start, ""},
                      ArgsRow{"a file is opened", {"house.kuv"}, Action::Start, "house.kuv"},
                      ArgsRow{"a file named like an option after --", {"--", "-x.kuv"}, Action::Start, "-x.kuv"},
                      ArgsRow{"help", {"--help"}, Action::Help, ""},
                      ArgsRow{"version", {"a.kuv", "--version"}, Action::Version, ""},
                      ArgsRow{"an unknown option", {"-platform"}, Action::Usage, ""},
                      ArgsRow{"two files", {"a.kuv", "b.kuv"}, Action::Usage, ""},
                      ArgsRow{"a link", {"https://s.example/kuv/#k=AwA"}, Action::Start, "", "https://s.example/kuv/#k=AwA"},
                      ArgsRow{"a file named like a link", {"/tmp/#k=a.kuv"}, Action::Start, "/tmp/#k=a.kuv"},
                      ArgsRow{"a file and a link", {"a.kuv", "https://s.example/#k=AwA"}, Action::Usage, ""}));

class StartupTest : public test::FormsFixture {};

TEST_F(StartupTest, ALinkOpensAsANewListingAndABrokenOneChangesNothing) {
    Write(Path("house.kuv"), "BOX 0 0 9 9 1\n");
    M().OpenFile(Path("house.kuv"));
    const QString link = QString::fromStdString(LinkOfListing("https://s.example/kuv/", "LINE 0 0 5 5 2\r\nEND\r\n").link);
    M().OpenLink(link.left(link.size() - 3));
    EXPECT_EQ(M().Memo1->ListingText(), "BOX 0 0 9 9 1\n");
    EXPECT_EQ(M().CurrentFileName, Path("house.kuv"));
    M().OpenLink(link);
    EXPECT_EQ(M().Memo1->ListingText(), "LINE 0 0 5 5 2\nEND\n");
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_EQ(M().Edit1->text(), "noname.kuv");
    EXPECT_EQ(M().SaveDialog1.fileName, "noname");
    EXPECT_FALSE(M().Modified);
}

TEST_F(StartupTest, AFileOnTheCommandLineOpensAsOpenDoes) {
    Write(Path("house.kuv"), "BOX 0 0 9 9 1\n");
    QDir::setCurrent(QDir::tempPath());
    M().OpenFile(Path("house.kuv"));
    EXPECT_EQ(M().Memo1->ListingText(), "BOX 0 0 9 9 1\n");
    EXPECT_EQ(M().CurrentFileName, Path("house.kuv"));
    EXPECT_EQ(M().Edit1->text(), Path("house.kuv"));
    EXPECT_EQ(M().SaveDialog1.fileName, "house");
    EXPECT_EQ(M().SaveDialog2.fileName, "house");
    EXPECT_EQ(M().SaveDialog3.fileName, "house");
    EXPECT_FALSE(M().Modified);
    EXPECT_EQ(QDir::currentPath(), dir.path());  // as a confirmed dialog leaves it
}

TEST_F(StartupTest, AMissingFileIsTheOpenCommandsMessageAndTheFirstListingStays) {
    M().OpenFile(Path("none.kuv"));
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + Path("none.kuv") + " は開けません"});
    EXPECT_EQ(M().Memo1->ListingText(), "REM\nEND\n");
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
}

TEST_F(StartupTest, ADroppedListingFileOpensAndTheEditorLeavesItAlone) {
    Write(Path("drop.kuv"), "CIRCLE 9 9 9 1\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("drop.kuv"))});
    data.setText(Path("drop.kuv"));  // file managers offer the path as text too
    const QPoint at = M().Memo1->viewport()->rect().center();
    QDragEnterEvent onEditor(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(M().Memo1->viewport(), &onEditor);  // passed on to the window
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&M(), &drop);
    EXPECT_TRUE(onEditor.isAccepted());
    EXPECT_EQ(M().Memo1->ListingText(), "CIRCLE 9 9 9 1\n");
    EXPECT_EQ(M().CurrentFileName, Path("drop.kuv"));
}

TEST_F(StartupTest, OtherFilesDroppedOnTheWindowAreIgnored) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("picture.png"))});
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&M(), &drop);
    EXPECT_EQ(M().Memo1->ListingText(), "REM\nEND\n");
    EXPECT_TRUE(dialogs->errors.isEmpty());
}

}  // namespace
}  // namespace kuv
