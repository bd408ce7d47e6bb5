// Listings kept when the program ends without saving them.
#include "shell/ListingEditor.h"
#include "shell/Recovery.h"
#include "support/FormsFixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kuv {
namespace {

const QDateTime kWhen(QDate(2026, 12, 8), QTime(15, 45, 1));

QStringList Names(const QString& folder) { return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

TEST(Recovery, NamesAFileByItsTimeAndNeverReplacesOne) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("state/kuv/recovered");  // made as needed
    QString failure;
    EXPECT_EQ(RecoverListing("A\r\n", kWhen, folder, failure), folder + "/20261208-154501.kuv");
    EXPECT_EQ(RecoverListing("B", kWhen, folder, failure), folder + "/20261208-154501_02.kuv");
    EXPECT_EQ(Names(folder), QStringList({"20261208-154501.kuv", "20261208-154501_02.kuv"}));  // nothing else
    QFile first(folder + "/20261208-154501.kuv");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_EQ(first.readAll(), "A\r\n");
    EXPECT_TRUE(HasRecoveredListings(folder));
    EXPECT_FALSE(HasRecoveredListings(dir.filePath("none")));
}

TEST(Recovery, KeepsTheNewestFifty) {
    QTemporaryDir dir;
    QString failure;
    for (int i = 0; i < kRecoveredKept + 5; ++i) RecoverListing("X", kWhen.addSecs(i), dir.path(), failure);
    const QStringList names = Names(dir.path());
    ASSERT_EQ(names.size(), kRecoveredKept);
    EXPECT_EQ(names.first(), kWhen.addSecs(5).toString("yyyyMMdd-HHmmss") + ".kuv");
    EXPECT_EQ(names.last(), kWhen.addSecs(kRecoveredKept + 4).toString("yyyyMMdd-HHmmss") + ".kuv");
}

TEST(Recovery, AFolderThatCannotBeMadeIsAFailureNotAHang) {
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    QString failure;
    EXPECT_EQ(RecoverListing("A", kWhen, dir.filePath("file/kuv"), failure), "");
    EXPECT_EQ(failure, "ファイル " + dir.filePath("file/kuv") + " を作成できません");
}

TEST(Recovery, FollowsTheStateFolderOfTheDesktop) {
    const QByteArray old = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/somewhere/state");
    EXPECT_EQ(RecoveryFolder(), "/somewhere/state/kuv/recovered");
    qputenv("XDG_STATE_HOME", "relative/state");  // not absolute: ignored
    EXPECT_EQ(RecoveryFolder(), QDir::homePath() + "/.local/state/kuv/recovered");
    qputenv("XDG_STATE_HOME", old);
}

class RecoveryOnClose : public test::FormsFixture {
protected:
    bool Close() {
        QCloseEvent e;
        QApplication::sendEvent(&M(), &e);
        return e.isAccepted();
    }
    QStringList Recovered() { return Names(RecoveryFolder()); }
    void SetUp() override {
        FormsFixture::SetUp();
        QDir(RecoveryFolder()).removeRecursively();
    }
};

TEST_F(RecoveryOnClose, ACancelledSaveAsKeepsTheListingByteForByte) {
    M().Memo1->setPlainText("LINE 0 0 9 9 1\n漢字");
    EXPECT_TRUE(Close());  // Save As is offered and cancelled
    ASSERT_EQ(Recovered().size(), 1);
    EXPECT_EQ(Read(RecoveryFolder() + "/" + Recovered().first()), "LINE 0 0 9 9 1\r\n\x8a\xbf\x8e\x9a");
}

TEST_F(RecoveryOnClose, NothingIsKeptWhenNothingIsLost) {
    EXPECT_TRUE(Close());  // unchanged
    M().Memo1->setPlainText("REM");
    M().Save2Click();      // saved, then unchanged
    EXPECT_TRUE(Close());
    M().Memo1->setPlainText("END");
    dialogs->answers << Path("saved.kuv");
    EXPECT_TRUE(Close());  // saved by the Save As offered on closing
    EXPECT_TRUE(Recovered().isEmpty());
}

TEST_F(RecoveryOnClose, TheSameListingIsKeptOnce) {
    M().Memo1->setPlainText("REM");
    EXPECT_NE(M().RecoverUnsavedListing(), "");  // the session ends
    EXPECT_EQ(M().RecoverUnsavedListing(), "");  // then the program is stopped
    EXPECT_EQ(Recovered().size(), 1);
}

TEST_F(RecoveryOnClose, AListingThatCannotBeKeptDoesNotStopTheProgramEnding) {
    const QByteArray old = qgetenv("XDG_STATE_HOME");
    Write(Path("state"), "a file where the folder would go");
    qputenv("XDG_STATE_HOME", Path("state").toLocal8Bit());
    M().Memo1->setPlainText("REM");
    const bool closed = Close();
    qputenv("XDG_STATE_HOME", old);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(dialogs->errors.isEmpty());  // reported on standard error only
}

TEST_F(RecoveryOnClose, TheOpenDialogOffersTheFolderOnceItHoldsAListing) {
    M().N1Click();
    EXPECT_EQ(dialogs->shown.back().place, "");
    M().Memo1->setPlainText("REM");
    M().RecoverUnsavedListing();
    M().N1Click();
    EXPECT_EQ(dialogs->shown.back().place, RecoveryFolder());
}

}  // namespace
}  // namespace kuv
