#include "shell/AboutUnit1.h"
#include "shell/DescriptionWindow.h"
#include "shell/ErrorUnit1.h"
#include "shell/Forms.h"
#include "shell/GraphUnit1.h"
#include "shell/ListingEditor.h"
#include "shell/ListingTeacher.h"
#include "shell/ShiftJis.h"
#include "language/Runner.h"
#include "picture/Highlight.h"
#include "shell/MainUnit2.h"
#include "support/FormsFixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QToolTip>
#include <QUrl>
#include <QKeyEvent>
#include <QTextLayout>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <functional>
#include <QContextMenuEvent>
#include <QTimer>
#include <memory>

namespace kuv {
namespace {

class ShellTest : public test::FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        forms.FormM->show();
        QApplication::processEvents();
    }

    QString ErrorLog() { return forms.FormE->LogText(); }

    void Type(const QString& listing) {
        M().Memo1->setPlainText(listing);
    }

    // Clicks in the editor on the given line (1-based), at its n-th screen row.
    void ClickOnLine(int line, int screenRow = 0) {
        const QTextBlock block = M().Memo1->document()->findBlockByNumber(line - 1);
        QTextCursor at(block);
        const int inLine = block.layout()->lineAt(screenRow).textStart() + 1;
        at.setPosition(block.position() + std::min(inLine, block.length() - 1));
        const QRect r = M().Memo1->cursorRect(at);
        QTest::mouseClick(M().Memo1->viewport(), Qt::LeftButton, {}, QPoint(r.left() + 1, r.center().y()));
    }
};

TEST_F(ShellTest, StartsWithTheListingsFirstTextAndItsWindows) {
    EXPECT_EQ(M().Memo1->toPlainText(), "REM\nEND\n");
    EXPECT_EQ(M().Mmln->text(), "");
    EXPECT_EQ(M().Edit1->text(), "noname");
    EXPECT_TRUE(M().Edit1->isReadOnly());
    EXPECT_EQ(M().CurrentFileName, "noname.kuv");
    EXPECT_FALSE(M().Modified);
    EXPECT_EQ(M().windowTitle(), "KUVリスト");
    EXPECT_EQ(forms.FormG->windowTitle(), "KUVグラフィック");
    EXPECT_EQ(forms.FormA->windowTitle(), "ＫＵＶ");
    EXPECT_EQ(forms.FormE->windowTitle(), "ＫＵＶエラー");
    EXPECT_TRUE(forms.FormG->isVisible());
    EXPECT_FALSE(forms.FormA->isVisible());
    EXPECT_FALSE(forms.FormE->isVisible());
    EXPECT_EQ(M().centralWidget()->size(), QSize(361, 561));
    EXPECT_EQ(M().width(), 361);
    EXPECT_EQ(forms.FormG->size(), QSize(641, 481));
    EXPECT_EQ(forms.FormG->Image1->geometry(), QRect(0, 0, 641, 481));
    EXPECT_EQ(M().pos(), QPoint(745, 96));
    EXPECT_EQ(forms.FormG->pos(), QPoint(19, 181));
    EXPECT_EQ(forms.FormA->pos(), QPoint(554, 423));
    EXPECT_EQ(forms.FormE->pos(), QPoint(315, 214));
    EXPECT_EQ(forms.FormA->size(), QSize(244, 128));
    EXPECT_EQ(QApplication::focusWidget(), M().Memo1);
}

TEST_F(ShellTest, EveryWindowIsAWindowToAssistiveTools) {
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&M())->role(), QAccessible::Window);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(forms.FormG)->role(), QAccessible::Window);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(forms.FormE)->role(), QAccessible::Window);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(forms.FormA)->role(), QAccessible::Dialog);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(forms.FormE)->text(QAccessible::Name), "ＫＵＶエラー");
}

TEST_F(ShellTest, ControlsSitWhereTheyBelong) {
    EXPECT_EQ(M().Memo1->geometry(), QRect(0, 0, 357, 489));
    EXPECT_EQ(M().Panel1->geometry(), QRect(0, 496, 361, 65));
    EXPECT_EQ(M().Label1->geometry(), QRect(220, 9, 48, 16));
    EXPECT_EQ(M().Label1->text(), "行番号");
    EXPECT_EQ(M().Mmln->geometry(), QRect(272, 5, 65, 20));
    EXPECT_EQ(M().Label2->geometry(), QRect(12, 9, 70, 16));
    EXPECT_EQ(M().Label2->text(), "ファイル名");
    EXPECT_EQ(M().Edit1->geometry(), QRect(8, 29, 329, 20));
    EXPECT_EQ(forms.FormE->Memo1->geometry(), QRect(8, 8, 369, 505));
    EXPECT_EQ(forms.FormE->Button1->geometry(), QRect(288, 520, 73, 25));
    EXPECT_EQ(forms.FormE->Button1->text(), "閉じる");
    EXPECT_EQ(forms.FormA->BitBtn1->geometry(), QRect(31, 12, 181, 63));
    EXPECT_EQ(forms.FormA->BitBtn1->text(), QString::fromUtf16(u"\u3000ＫＵＶ\u3000Ｖｅｒ １.４"));
    EXPECT_EQ(forms.FormA->BitBtn1->iconSize(), QSize(32, 32));
    EXPECT_EQ(forms.FormA->Label2->geometry(), QRect(19, 93, 216, 16));
    EXPECT_TRUE(M().Memo1->tabChangesFocus());
    EXPECT_EQ(M().Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(forms.FormE->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_TRUE(forms.FormE->Memo1->isReadOnly());
}

TEST_F(ShellTest, MenuHoldsEveryCommandWithoutShortcuts) {
    QStringList captions;
    for (QAction* a : M().menuBar()->actions()) {
        captions << a->text();
        if (a->menu())
            for (QAction* sub : a->menu()->actions()) {
                captions << "  " + sub->text();
                EXPECT_TRUE(sub->shortcut().isEmpty());
                EXPECT_TRUE(sub->isEnabled());
                EXPECT_FALSE(sub->isCheckable());
            }
    }
    EXPECT_EQ(captions, (QStringList{"ファイル", QString::fromUtf16(u"  開\u3000\u3000く"), "  上書き保存",
                                     "  名前を付け保存", "  終了する", "描画実行", "画像保存", "  BMP保存",
                                     "  JPG保存", "画像消去", "ヘルプ", "  Ｖｅｒ", "  ヘルプ"}));
    EXPECT_EQ(M().N4->menu(), nullptr);
    EXPECT_EQ(M().N6->menu(), nullptr);
}

struct RunRow {
    const char* intent;
    const char* listing;
    const char* rewritten;
    const char* errorLog;
    bool errorShown;
    bool modified;
    int marked;
};

void PrintTo(const RunRow& row, std::ostream* os) { *os << row.intent; }

class ShellRunTest : public ShellTest, public ::testing::WithParamInterface<RunRow> {};

TEST_P(ShellRunTest, RewritesTheEditorAndReports) {
    const RunRow& row = GetParam();
    Type(QString::fromUtf8(row.listing));
    M().Modified = false;
    M().N4Click();
    EXPECT_EQ(M().Memo1->toPlainText(), QString::fromUtf8(row.rewritten)) << row.intent;
    EXPECT_EQ(ErrorLog(), QString::fromUtf8(row.errorLog)) << row.intent;
    EXPECT_EQ(forms.FormE->isVisible(), row.errorShown) << row.intent;
    EXPECT_TRUE(forms.FormG->isVisible()) << row.intent;
    EXPECT_EQ(M().Modified, row.modified) << row.intent;
    EXPECT_EQ(M().Memo1->MarkedErrorLine(), row.marked) << row.intent;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ShellRunTest,
    ::testing::Values(
        RunRow{"the first text", "REM\nEND\n", "REM\nEND\n", "", false, true, 0},
        RunRow{"lower case and empty lines", "\nline 10 10 20 20 1\n\n", "LINE 10 10 20 20 1\n", "", false, true, 0},
        RunRow{"an unknown statement", "REM\nREM\nfoo\n", "REM\nREM\nFOO\n", "  3行：命令の間違い\r\n", true, true, 3},
        RunRow{"a missing parameter", "circle 1 2\n", "CIRCLE 1 2\n", "  1行：設定値が足りません\r\n", true, true, 1},
        RunRow{"an empty listing", "", "", "", false, false, 0},
        RunRow{"a lone line break", "\n", "\n", "", false, false, 0},
        RunRow{"Japanese text", "text 10 100 0 日本語\n", "TEXT 10 100 0 日本語\n", "", false, true, 0}));

TEST_F(ShellRunTest, ShowsTheGraphicsWindowAndTheDrawing) {
    forms.FormG->hide();
    Type("LINE 0 0 10 0 2\n");
    M().N4Click();
    EXPECT_TRUE(forms.FormG->isVisible());
    EXPECT_EQ(forms.FormG->GetPicture().At(0, 480), 0xFFFF0000u);
    EXPECT_EQ(forms.FormG->grab().toImage().pixel(0, 480), qRgb(255, 0, 0));
}

TEST_F(ShellTest, AnEarlyStopKeepsThePreviousError) {
    Type("BAD\n");
    M().N4Click();
    Type("\n");
    M().N4Click();
    EXPECT_EQ(ErrorLog(), "  1行：命令の間違い\r\n");
    EXPECT_TRUE(forms.FormE->isVisible());
}

TEST_F(ShellTest, TheNextRunShowsOnlyItsOwnError) {
    Type("BAD\n");
    M().N4Click();
    forms.FormE->Button1->click();
    EXPECT_EQ(ErrorLog(), "");
    EXPECT_FALSE(forms.FormE->isVisible());
    Type("REM\nWORSE\n");
    M().N4Click();
    EXPECT_EQ(ErrorLog(), "  2行：命令の間違い\r\n");
    EXPECT_TRUE(forms.FormE->isVisible());
}

TEST_F(ShellTest, ClosingTheErrorWindowKeepsItsMessageUntilTheNextRun) {
    Type("BAD\n");
    M().N4Click();
    forms.FormE->close();
    EXPECT_FALSE(forms.FormE->isVisible());
    EXPECT_EQ(ErrorLog(), "  1行：命令の間違い\r\n");
    Type("REM\n");
    M().N4Click();
    EXPECT_FALSE(forms.FormE->isVisible());
    EXPECT_EQ(ErrorLog(), "");
}

TEST_F(ShellTest, TheErrorMarkGoesWithTheNextEditAndTouchesNothingElse) {
    Type("REM\nBAD\nEND\n");
    ClickOnLine(1);
    M().N4Click();
    EXPECT_EQ(M().Memo1->MarkedErrorLine(), 2);
    EXPECT_EQ(M().Mmln->text(), "1");
    EXPECT_EQ(M().Memo1->textCursor().blockNumber(), 0);
    EXPECT_EQ(M().Memo1->extraSelections().size(), 1);
    // For screen readers: the ErrorLog line, then what it means.
    EXPECT_TRUE(M().Memo1->accessibleDescription().startsWith("  2行：命令の間違い\n「BAD」という命令はありません。"))
        << M().Memo1->accessibleDescription().toStdString();
    QTest::keyClicks(M().Memo1, "x");
    EXPECT_EQ(M().Memo1->MarkedErrorLine(), 0);
    EXPECT_TRUE(M().Memo1->extraSelections().isEmpty());
    EXPECT_EQ(M().Memo1->accessibleDescription(), "");
}

TEST_F(ShellTest, RunKeepsTheCaretOnItsLine) {
    Type("rem\n\nrem a\nrem b\n");
    QTextCursor c = M().Memo1->textCursor();
    c.setPosition(M().Memo1->document()->findBlockByNumber(3).position() + 2);
    M().Memo1->setTextCursor(c);
    M().N4Click();
    EXPECT_EQ(M().Memo1->toPlainText(), "REM\nREM A\nREM B\n");
    EXPECT_EQ(M().Memo1->textCursor().blockNumber(), 3);
    // One edit: a single undo brings the typed text back.
    M().Memo1->undo();
    EXPECT_EQ(M().Memo1->toPlainText(), "rem\n\nrem a\nrem b\n");
}

TEST_F(ShellTest, ClearPaintsWhiteWithoutShowingTheGraphicsWindow) {
    Type("LINE 0 0 10 0 2\n");
    M().N4Click();
    forms.FormG->hide();
    M().Modified = false;
    M().N6Click();
    EXPECT_FALSE(forms.FormG->isVisible());
    EXPECT_EQ(forms.FormG->GetPicture().At(0, 480), 0xFFFFFFFFu);
    EXPECT_FALSE(M().Modified);
    Type("LINE 0 0 10 0 1\n");
    M().N4Click();
    EXPECT_TRUE(forms.FormG->isVisible());
}

TEST_F(ShellTest, LineNumberFollowsClicksAndKeys) {
    ClickOnLine(3);
    EXPECT_EQ(M().Mmln->text(), "3");
    ClickOnLine(1);
    EXPECT_EQ(M().Mmln->text(), "1");
    QTest::keyClick(M().Memo1, Qt::Key_Down);
    EXPECT_EQ(M().Mmln->text(), "2");
    // A key release counts whatever the key.
    QTest::keyClick(M().Memo1, Qt::Key_Shift);
    EXPECT_EQ(M().Mmln->text(), "2");
}

TEST_F(ShellTest, LineNumberOfASelectionIsItsStart) {
    Type("A\nB\nC\nD\nE\nF\n");
    QTextCursor c = M().Memo1->textCursor();
    c.setPosition(M().Memo1->document()->findBlockByNumber(4).position() + 1);
    c.setPosition(M().Memo1->document()->findBlockByNumber(1).position(), QTextCursor::KeepAnchor);
    M().Memo1->setTextCursor(c);
    QTest::keyRelease(M().Memo1, Qt::Key_Shift);
    EXPECT_EQ(M().Mmln->text(), "2");
}

TEST_F(ShellTest, AWrappedLineCountsOnce) {
    Type("REM\nREM " + QString(120, 'x') + " " + QString(60, 'y') + "\nEND\n");
    QApplication::processEvents();
    const QTextBlock block = M().Memo1->document()->findBlockByNumber(1);
    ASSERT_GE(block.layout()->lineCount(), 2);
    ClickOnLine(2, 1);
    EXPECT_EQ(M().Mmln->text(), "2");
    ClickOnLine(3);
    EXPECT_EQ(M().Mmln->text(), "3");
}

TEST_F(ShellTest, RunLeavesTheLineNumberUntilTheNextClick) {
    Type("\n\nREM\n");
    ClickOnLine(3);
    M().N4Click();
    EXPECT_EQ(M().Mmln->text(), "3");
}

TEST_F(ShellTest, TypingIntoTheLineNumberBoxChangesNothingElse) {
    QTest::keyClicks(M().Mmln, "99");
    EXPECT_EQ(M().Mmln->text(), "99");
    EXPECT_FALSE(M().Modified);
    ClickOnLine(2);
    EXPECT_EQ(M().Mmln->text(), "2");
}

TEST_F(ShellTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    M().Memo1->setFocus();
    M().Memo1->moveCursor(QTextCursor::End);
    // Characters typed one key press each, as an input method would send them.
    for (const QString& ch : {QString::fromUtf8("é"), QString::fromUtf8("漢")}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, ch);
        QApplication::sendEvent(M().Memo1, &press);
    }
    EXPECT_EQ(M().Memo1->toPlainText(), "REM\nEND\n?漢");
    M().Memo1->moveCursor(QTextCursor::End);
    // The stand-ins for bytes that are not text would save as raw bytes: a
    // NUL, a bare LF.
    QApplication::clipboard()->setText(QString::fromUtf8("ü😀\nok") + QChar(0xF780) + QChar(0xF78A));
    M().Memo1->paste();
    EXPECT_EQ(M().Memo1->toPlainText(), "REM\nEND\n?漢??\nok??");
    EXPECT_TRUE(M().Modified);
}

// What the clipboard or a drop may carry; only text goes in.
struct PasteCase {
    const char* name;
    std::function<QMimeData*()> data;
    const char* inserted;
};

void PrintTo(const PasteCase& c, std::ostream* os) { *os << c.name; }

class PasteTest : public ShellTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(PasteTest, OnlyTextGoesInAndNothingElseCountsAsAnEdit) {
    const PasteCase& c = GetParam();
    const QString before = M().Memo1->toPlainText();
    M().Memo1->setFocus();
    M().Memo1->moveCursor(QTextCursor::End);
    M().Modified = false;
    QApplication::clipboard()->setMimeData(c.data());
    QTest::keyClick(M().Memo1, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(M().Memo1, Qt::Key_Insert, Qt::ShiftModifier);
    // A drop of the same data onto the editor.
    std::unique_ptr<QMimeData> dropped(c.data());
    const QPoint at = M().Memo1->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, dropped.get(), Qt::LeftButton, {});
    QApplication::sendEvent(M().Memo1->viewport(), &enter);
    QDropEvent drop(at, Qt::CopyAction, dropped.get(), Qt::LeftButton, {});
    QApplication::sendEvent(M().Memo1->viewport(), &drop);

    // The context menu's Paste, offered only for text.
    std::unique_ptr<QMenu> menu(M().Memo1->createStandardContextMenu());
    QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
    ASSERT_NE(paste, nullptr);
    const bool offered = paste->isEnabled();
    paste->trigger();

    const QString inserted = QString::fromUtf8(c.inserted);
    EXPECT_EQ(offered, !inserted.isEmpty());
    if (inserted.isEmpty()) {
        EXPECT_EQ(M().Memo1->toPlainText(), before);
        EXPECT_FALSE(M().Modified);
        EXPECT_FALSE(enter.isAccepted());
    } else {
        EXPECT_EQ(M().Memo1->toPlainText().count(inserted), 4);
        EXPECT_TRUE(M().Modified);
    }
}

QMimeData* Mime(const char* format, const QByteArray& bytes) {
    auto* m = new QMimeData;
    if (format) m->setData(QLatin1String(format), bytes);
    return m;
}

INSTANTIATE_TEST_SUITE_P(
    Paste, PasteTest,
    ::testing::Values(
        PasteCase{"EmptyClipboard", [] { return new QMimeData; }, ""},
        PasteCase{"AnImage", [] { return Mime("image/png", QByteArray("\x89PNG", 4)); }, ""},
        PasteCase{"AListOfFiles",
                  [] {
                      auto* m = new QMimeData;
                      m->setUrls({QUrl::fromLocalFile("/tmp/picture.png")});
                      return m;
                  },
                  ""},
        PasteCase{"EmptyText", [] { return Mime("text/plain", {}); }, ""},
        PasteCase{"Text", [] { return Mime("text/plain", "LINE 1 2 3 4 5"); }, "LINE 1 2 3 4 5"},
        PasteCase{"TextBesideAnImage",
                  [] {
                      QMimeData* m = Mime("image/png", QByteArray("\x89PNG", 4));
                      m->setText(QString::fromUtf8("BOX ü"));
                      return m;
                  },
                  "BOX ?"}),
    [](const ::testing::TestParamInfo<PasteCase>& i) { return std::string(i.param.name); });

// A listing whose second line is far longer than one paragraph of the
// editor, opened from a file.
class LongLineTest : public ShellTest {
protected:
    static constexpr int kLength = 3 * ListingEditor::kSegmentChars + 100;
    void SetUp() override {
        ShellTest::SetUp();
        long_ = QStringLiteral("REM ");
        // Digits in turn, so that every place in the line has its own text.
        for (int i = 4; i < kLength; ++i) long_ += QChar(u'0' + i % 10);
        Write(Path("long.kuv"), "END\r\n" + long_.toStdString() + "\r\nBOX\r\n");
        dialogs->answers << Path("long.kuv");
        M().N1Click();
    }
    ListingEditor& E() { return *M().Memo1; }
    // Puts the caret at the start of the line's n-th segment (n from 1).
    void AtSegment(int n) {
        QTextCursor c = E().textCursor();
        c.setPosition(E().document()->findBlockByNumber(n).position());
        E().setTextCursor(c);
    }
    QString long_;
};

TEST_F(LongLineTest, IsOneLineForTheTextTheLineNumbersAndSaving) {
    EXPECT_GT(E().document()->blockCount(), 4);  // held as segments
    EXPECT_EQ(E().ListingText(), "END\n" + long_ + "\nBOX\n");
    AtSegment(2);
    QTest::keyClick(&E(), Qt::Key_Right);
    EXPECT_EQ(M().Mmln->text(), "2");
    E().moveCursor(QTextCursor::End);
    QTest::keyClick(&E(), Qt::Key_Up);
    EXPECT_EQ(M().Mmln->text(), "3");
    M().Save2Click();
    EXPECT_EQ(Read(Path("long.kuv")), "END\r\n" + long_.toStdString() + "\r\nBOX\r\n");
}

struct SegmentEdit {
    const char* intent;
    std::function<void(ListingEditor&)> edit;
    int at;                  // where the long line changed, in its characters
    int removed;             // ... how many characters went there
    const char* inserted;
};
void PrintTo(const SegmentEdit& e, std::ostream* os) { *os << e.intent; }

class SegmentEditTest : public LongLineTest, public ::testing::WithParamInterface<SegmentEdit> {};

TEST_P(SegmentEditTest, EditsTheLineAsOneLine) {
    const SegmentEdit& e = GetParam();
    AtSegment(2);  // the caret after the first segment of the long line
    e.edit(E());
    QString expected = long_;
    expected.replace(e.at, e.removed, QString::fromUtf8(e.inserted));
    EXPECT_EQ(E().ListingText(), "END\n" + expected + "\nBOX\n");
    E().undo();
    EXPECT_EQ(E().ListingText(), "END\n" + long_ + "\nBOX\n");
}

constexpr int kSeg = ListingEditor::kSegmentChars;
const SegmentEdit kSegmentEdits[] = {
        SegmentEdit{"Return breaks the line", [](ListingEditor& e) { QTest::keyClick(&e, Qt::Key_Return); }, kSeg, 0,
                    "\n"},
        SegmentEdit{"Backspace takes the character before",
                    [](ListingEditor& e) { QTest::keyClick(&e, Qt::Key_Backspace); }, kSeg - 1, 1, ""},
        SegmentEdit{"Delete at a segment's end takes the character after",
                    [](ListingEditor& e) {
                        e.moveCursor(QTextCursor::PreviousBlock);
                        e.moveCursor(QTextCursor::EndOfBlock);
                        QTest::keyClick(&e, Qt::Key_Delete);
                    },
                    kSeg, 1, ""},
        SegmentEdit{"typing goes in where the caret is",
                    [](ListingEditor& e) { QTest::keyClicks(&e, "ab"); }, kSeg, 0, "ab"},
        SegmentEdit{"a pasted line break is a line break",
                    [](ListingEditor& e) {
                        QApplication::clipboard()->setText("1\n2\r\n3");
                        QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
                    },
                    kSeg, 0, "1\n2\n3"},
        SegmentEdit{"a stretch cut across segments holds no break of their own",
                    [](ListingEditor& e) {
                        QTextCursor c = e.textCursor();
                        c.setPosition(c.position() - 2);
                        c.setPosition(c.position() + 4, QTextCursor::KeepAnchor);
                        e.setTextCursor(c);
                        QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
                        EXPECT_EQ(QApplication::clipboard()->text(), "567");  // characters 4095 to 4097
                    },
                    kSeg - 1, 3, ""},
};
INSTANTIATE_TEST_SUITE_P(Keys, SegmentEditTest, ::testing::ValuesIn(kSegmentEdits));

TEST_F(ShellTest, APastedLongLineStaysWholeAndRuns) {
    const QString line = QStringLiteral("line 1 2 3 4 5 ") + QString(3 * ListingEditor::kSegmentChars, '9');
    M().Memo1->setPlainText("");
    QApplication::clipboard()->setText(line + "\nend");
    QTest::keyClick(M().Memo1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(M().Memo1->ListingText(), line + "\nend");
    M().N4Click();
    EXPECT_EQ(M().Memo1->ListingText(), line.toUpper().left(255) + "\nEND");
    EXPECT_EQ(M().Memo1->document()->blockCount(), 2);
}

TEST_F(ShellTest, PasteAfterPasteIntoOneLineKeepsItsParagraphsShort) {
    M().Memo1->setPlainText("REM ");
    M().Memo1->moveCursor(QTextCursor::End);
    const QString piece(1000, 'y');
    QApplication::clipboard()->setText(piece);
    for (int i = 0; i < 20; ++i) QTest::keyClick(M().Memo1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(M().Memo1->ListingText(), "REM " + piece.repeated(20));
    for (QTextBlock b = M().Memo1->document()->begin(); b.isValid(); b = b.next())
        EXPECT_LE(b.length() - 1, 2 * ListingEditor::kSegmentChars);
    QTest::keyClick(M().Memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(M().Memo1->ListingText(), "REM " + piece.repeated(19));
}

TEST_F(ShellTest, EditingSetsModified) {
    QTest::keyClicks(M().Memo1, "R");
    EXPECT_TRUE(M().Modified);
}

TEST_F(ShellTest, VerShowsOneAboutWindowThatItsButtonHides) {
    M().N3->trigger();
    M().N3->trigger();
    EXPECT_TRUE(forms.FormA->isVisible());
    const QPoint where = forms.FormA->pos();
    forms.FormA->BitBtn1->click();
    EXPECT_FALSE(forms.FormA->isVisible());
    M().N3->trigger();
    EXPECT_TRUE(forms.FormA->isVisible());
    EXPECT_EQ(forms.FormA->pos(), where);
    forms.FormA->close();
    EXPECT_FALSE(forms.FormA->isVisible());
}

TEST_F(ShellTest, HelpPrefersThePageInTheCurrentFolder) {
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    M().Help2->trigger();
    QFile page(dir.filePath("kuvhelp.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.close();
    M().Help2->trigger();
    QDir::setCurrent(old);
    ASSERT_EQ(dialogs->documents.size(), 2);
    EXPECT_TRUE(dialogs->documents[0].endsWith("share/kuv/kuvhelp.htm"));
    EXPECT_EQ(dialogs->documents[1], QDir(dir.path()).absoluteFilePath("kuvhelp.htm"));
    EXPECT_TRUE(dialogs->errors.isEmpty());
    dialogs->documentsOpen = false;  // no program on the desktop opens it
    M().Help2->trigger();
    EXPECT_EQ(dialogs->errors, QStringList{"ファイル " + dialogs->documents.back() + " は開けません"});
}

TEST_F(ShellTest, ExitWithAnUnchangedListingClosesWithoutADialog) {
    M().N2Click();
    EXPECT_FALSE(M().isVisible());
    EXPECT_TRUE(dialogs->shown.empty());
}

}  // namespace
}  // namespace kuv

namespace kuv {
namespace {

TEST(Scaling, LeavesTheDesignAloneAt96DotsPerInch) {
    const Scaling s{96};
    EXPECT_EQ(s.FontPx(15), 15);
    EXPECT_EQ(s.Rect(272, 5, 65, 20), QRect(272, 5, 65, 20));
}

TEST(Scaling, ScalesTheMainAndErrorWindowsWithTheDesktopsTextSize) {
    const Scaling s{120};
    TFormM m(s);
    TFormE e(s);
    EXPECT_EQ(m.centralWidget()->size(), QSize(451, 701));
    EXPECT_EQ(m.Memo1->geometry(), QRect(0, 0, 446, 611));
    EXPECT_EQ(m.Memo1->font().pixelSize(), 19);  // 15 pixels at 96 dots per inch
    EXPECT_EQ(m.Label1->font().pixelSize(), 20);
    EXPECT_EQ(m.font().pixelSize(), 15);
    EXPECT_EQ(e.Button1->geometry(), QRect(360, 650, 91, 31));
    EXPECT_EQ(e.Memo1->font().pixelSize(), 20);
}

}  // namespace
}  // namespace kuv

namespace kuv {
namespace {

// The graphics window's aids: the point under the mouse, picked points, the
// line behind a pixel.
class PictureAidsTest : public ShellTest {
protected:
    PictureView& View() { return *forms.FormG->Image1; }
    bool OwnerOffered(int x, int y) {
        return View().ContextMenu(QPoint(x, y))->findChild<QAction*>("ShowOwner")->isEnabled();
    }
};

TEST_F(PictureAidsTest, TheTooltipNamesThePointItsColourAndItsLine) {
    M().Memo1->setPlainText("rem\nline 0 0 640 480 2\nbox 10 10 100 100 0\npaint24 50 50 12 200 255\n");
    M().N4Click();
    EXPECT_EQ(M().DescribePoint(0, 0), "x 0  y 0  色 2 (赤)\n2行 線: LINE 0 0 640 480 2");
    EXPECT_EQ(M().DescribePoint(50, 50), "x 50  y 50  青 12 緑 200 赤 255\n4行 塗り (24ビット): PAINT24 50 50 12 200 255");
    EXPECT_EQ(M().DescribePoint(300, 20), "x 300  y 20  色 7 (白)");
    // A real move of the mouse over the Picture: y counts up from the bottom.
    QTest::mouseMove(&View(), QPoint(0, 480));
    EXPECT_EQ(QToolTip::text(), "x 0  y 0  色 2 (赤)\n2行 線: LINE 0 0 640 480 2");
}

TEST_F(PictureAidsTest, ADoubleClickPicksThePointIntoTheListing) {
    M().Memo1->setPlainText("LINE");
    M().Memo1->moveCursor(QTextCursor::End);
    M().Modified = false;
    QTest::mouseDClick(&View(), Qt::LeftButton, {}, QPoint(240, 480 - 360));
    EXPECT_EQ(M().Memo1->ListingText(), "LINE 240 360");
    QTest::mouseDClick(&View(), Qt::LeftButton, {}, QPoint(100, 480 - 50));
    EXPECT_EQ(M().Memo1->ListingText(), "LINE 240 360 100 50");
    EXPECT_EQ(M().Memo1->textCursor().position(), M().Memo1->ListingText().size());
    EXPECT_TRUE(M().Modified);
    M().Memo1->undo();
    EXPECT_EQ(M().Memo1->ListingText(), "LINE 240 360");
    M().Memo1->setPlainText("BOX \n");
    M().Memo1->moveCursor(QTextCursor::End);  // a line's start
    QTest::mouseDClick(&View(), Qt::LeftButton, {}, QPoint(1, 480 - 2));
    M().Memo1->moveCursor(QTextCursor::Start);
    M().Memo1->moveCursor(QTextCursor::EndOfBlock);  // after a space
    QTest::mouseDClick(&View(), Qt::LeftButton, {}, QPoint(3, 480 - 4));
    EXPECT_EQ(M().Memo1->ListingText(), "BOX 3 4\n1 2");
}

TEST_F(PictureAidsTest, TheLineBehindAPixelIsOfferedOnlyForTheLastRunsDrawing) {
    M().Memo1->setPlainText("REM\nCIRCLE 320 240 100 1\n");
    EXPECT_FALSE(OwnerOffered(420, 240));  // no run yet
    M().N4Click();
    EXPECT_TRUE(OwnerOffered(420, 240));
    EXPECT_FALSE(OwnerOffered(10, 10));  // nothing drew it
    View().ContextMenu(QPoint(420, 240))->findChild<QAction*>("ShowOwner")->trigger();
    EXPECT_EQ(M().Memo1->textCursor().selectedText(), "CIRCLE 320 240 100 1");
    EXPECT_EQ(M().Mmln->text(), "2");
    View().ContextMenu(QPoint(420, 240))->findChild<QAction*>("CopyPoint")->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "420 240");
    M().Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(M().Memo1, "rem");  // an edit
    EXPECT_FALSE(OwnerOffered(420, 240));
    M().N4Click();
    EXPECT_TRUE(OwnerOffered(420, 240));
    M().N6Click();
    EXPECT_FALSE(OwnerOffered(420, 240));
    // A run that stops at a line of spaces: the pixel that no line painted
    // has no owner, as kuv-render --owners says, though running the
    // rewritten listing again would paint it.
    M().Memo1->setPlainText("LINE 0 0 10 0 1\n   \nLINE 0 5 10 5 2\n");
    M().N4Click();
    EXPECT_FALSE(OwnerOffered(5, 5));
    EXPECT_EQ(M().DescribePoint(5, 5), "x 5  y 5  色 7 (白)");
    EXPECT_TRUE(OwnerOffered(5, 0));
}

// Where a line's first block stands in the editor's viewport.
QRectF BoxOf(ListingEditor* editor, int line) {
    for (const auto& [b, box] : editor->ShownBlocks())
        if (b.blockNumber() == line) return box;
    return {};
}

// Rows of the editor's viewport, as painted, that hold a pixel of the given
// colour within a line's rectangle.
int RowsWithColour(ListingEditor* editor, int line, QRgb colour) {
    const QImage shot = editor->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRectF box = BoxOf(editor, line);
    int rows = 0;
    for (int y = std::max(0, int(box.top())); y < std::min(shot.height(), int(box.bottom())); ++y) {
        bool found = false;
        for (int x = 0; x < shot.width() && !found; ++x) found = (shot.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
        rows += found;
    }
    return rows;
}

TEST_F(ShellTest, ALineLeftWithAnErrorHasAWaveThatWeakSightCanSee) {
    M().Memo1->clear();
    QTest::keyClicks(M().Memo1, "line 0 0 700 0 1");
    QTest::keyClick(M().Memo1, Qt::Key_Return);
    QTest::keyClicks(M().Memo1, "end");
    QTest::keyClick(M().Memo1, Qt::Key_Return);
    QTest::keyClicks(M().Memo1, "oops");
    QApplication::processEvents();  // the formats are laid on from the event loop
    const QRgb wave = qRgb(0xb0, 0x00, 0x00);
    const QRgb base = M().Memo1->palette().color(QPalette::Base).rgb();
    EXPECT_GE(ContrastRatio(wave | 0xFF000000u, base | 0xFF000000u), 3.0);
    EXPECT_GE(RowsWithColour(M().Memo1, 0, wave), 2);  // at least 2 pixels high
    EXPECT_EQ(RowsWithColour(M().Memo1, 1, wave), 0);
    EXPECT_EQ(RowsWithColour(M().Memo1, 2, wave), 0);  // after END
}

TEST_F(ShellTest, TheHintShowsFromTheWordAndItsSpaceAndOnlyWhileTyping) {
    QLabel* hint = M().Memo1->Teacher()->Hint();
    EXPECT_FALSE(hint->isVisible()) << "not at start-up";
    M().Memo1->setPlainText("REM\nEND\n");
    M().Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(M().Memo1, "ARC");
    EXPECT_FALSE(hint->isVisible()) << "ARC alone is no statement yet";
    QTest::keyClicks(M().Memo1, " ");
    ASSERT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->accessibleName(), "ARC x y 半径 開始角 終了角 色 — x: 0〜640");
    QTest::keyClick(M().Memo1, Qt::Key_Up);
    EXPECT_FALSE(hint->isVisible()) << "the caret only passes the line above";
    QTest::keyClick(M().Memo1, Qt::Key_Down);
    EXPECT_FALSE(hint->isVisible()) << "coming back without typing";
    QTest::keyClicks(M().Memo1, "1");
    EXPECT_TRUE(hint->isVisible());
}

TEST_F(ShellTest, TheHintCoversNoCharacterOfItsLineOrTheLinesBesideIt) {
    // Long neighbours leave no room to the right of their text.
    M().Memo1->setPlainText("LINE 100 100 200 200 1 2 3 4 5 6\n\nLINE 100 100 200 200 1 2 3 4 5 6\n");
    QTextCursor c(M().Memo1->document()->findBlockByNumber(1));
    M().Memo1->setTextCursor(c);
    QTest::keyClicks(M().Memo1, "circle 1");
    QLabel* hint = M().Memo1->Teacher()->Hint();
    ASSERT_TRUE(hint->isVisible());
    const QRect shown(hint->mapToGlobal(QPoint(0, 0)), hint->size());
    for (int line = 0; line < 3; ++line) {
        const QTextBlock b = M().Memo1->document()->findBlockByNumber(line);
        const QTextLine row = b.layout()->lineAt(0);
        const QRectF box = BoxOf(M().Memo1, line);
        const QRect text(M().Memo1->viewport()->mapToGlobal(QPoint(int(box.left()), int(box.top()))),
                         QSize(int(std::ceil(row.naturalTextWidth())), int(row.height())));
        EXPECT_FALSE(shown.intersects(text)) << "line " << line;
    }
}

TEST_F(ShellTest, SwatchesStayInTheSpaceAfterTheirNumber) {
    M().Memo1->setPlainText("PAINT 200 200 2 0\n");
    QApplication::processEvents();
    const QImage shot = M().Memo1->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QTextBlock b = M().Memo1->document()->firstBlock();
    const QTextLine row = b.layout()->lineAt(0);
    const QRectF box = BoxOf(M().Memo1, 0);
    // The red swatch of colour 2, between the "2" and the "0".
    QRect red;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            if ((shot.pixel(x, y) & 0xFFFFFF) == 0xFF0000) red |= QRect(x, y, 1, 1);
    ASSERT_FALSE(red.isEmpty());
    EXPECT_GE(red.height(), 4);
    // Nothing of the swatch, its frame included, reaches the ink of the
    // characters on either side.
    const QFontMetricsF metrics(M().Memo1->font());
    const qreal baseline = box.top() + row.y() + row.ascent();
    for (const int i : {14, 16}) {
        const QRectF ink = metrics.boundingRect(b.text()[i]).translated(box.left() + row.cursorToX(i), baseline);
        EXPECT_FALSE(QRectF(red.adjusted(-1, -1, 1, 1)).intersects(ink)) << "character " << i;
    }
}

TEST_F(ShellTest, TheLiveChecksSayWhatRunWouldSay) {
    // Random listings of lines that matter: blank ones, END, long ones.
    const char* const kLines[] = {"", "   ", "END", "end x", "REM", "oops", "LINE 1 2 3 4 5", "line 1 2 3",
                                  "circle 1 1 400 1", "  box 1 1 1 1 9  ", "text 1 5 1 a"};
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        QString text;
        const int lines = 1 + static_cast<int>(rng() % 9);
        for (int i = 0; i < lines; ++i) {
            if (i) text += '\n';
            text += rng() % 10 == 0 ? QString(300, 'x') : QString::fromLatin1(kLines[rng() % std::size(kLines)]);
        }
        if (rng() % 2) text += '\n';
        M().Memo1->setPlainText(text);
        const std::vector<LineCheck> checks = CheckListing(Listing(ListingFromEditorText(text)));
        QTextBlock b = M().Memo1->document()->begin();
        for (const LineCheck& c : checks) {
            const QString expected = c.reached && c.verdict.args.error
                                         ? FromCp932(ErrorLogLine(c.number, c.verdict.args.Msg)) : QString();
            EXPECT_EQ(M().Memo1->Teacher()->MessageOf(b), expected) << text.toStdString();
            b = b.next();
        }
    }
}

TEST_F(ShellTest, MenuBarFromTheKeyboard) {
    M().show();
    M().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&M()));
    M().Memo1->setFocus();
    QTest::keyClick(M().Memo1, Qt::Key_F10);
    EXPECT_TRUE(M().menuBar()->hasFocus());
    EXPECT_EQ(M().menuBar()->activeAction(), M().File1->menuAction());
}

TEST_F(ShellTest, TheContextMenuMendsAMarkedLineInOneUndoStep) {
    M().Memo1->setPlainText(QStringLiteral("ＬＩＮＥ　１０　１０　２０　２０　１\nEND\n"));
    QApplication::processEvents();
    const QTextBlock line = M().Memo1->document()->firstBlock();
    ListingTeacher* teacher = M().Memo1->Teacher();
    EXPECT_EQ(teacher->TipOf(line), "  1行：命令の間違い\n全角の文字「Ｌ」が入っています。日本語入力をオフにして、半角で書きます。\n"
                                    "直す: LINE 10 10 20 20 1");
    // The menu as the right button opens it, with the fix first.
    QAction* chosen = nullptr;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        chosen = menu->actions().front();
        menu->close();
        chosen->trigger();
    });
    const QRect at = M().Memo1->cursorRect(QTextCursor(line));
    QContextMenuEvent click(QContextMenuEvent::Mouse, at.center(), M().Memo1->viewport()->mapToGlobal(at.center()));
    QApplication::sendEvent(M().Memo1->viewport(), &click);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->text(), "直す: LINE 10 10 20 20 1");
    EXPECT_EQ(M().Memo1->toPlainText(), "LINE 10 10 20 20 1\nEND\n");
    EXPECT_TRUE(teacher->TipOf(M().Memo1->document()->firstBlock()).isEmpty());
    M().Memo1->undo();
    EXPECT_EQ(M().Memo1->toPlainText(), "ＬＩＮＥ　１０　１０　２０　２０　１\nEND\n");
}

TEST_F(ShellTest, AFixWithAnAmpersandMakesNoAccessKey) {
    M().Memo1->setPlainText(QStringLiteral("TEXT 0 5 1 A&B\n"));
    QApplication::processEvents();
    EXPECT_EQ(M().Memo1->Teacher()->FixOf(M().Memo1->document()->firstBlock()), QString("TEXT 0 10 1 A&B"));
    QString caption;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        caption = menu->actions().front()->text();
        menu->close();
    });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), M().Memo1->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(M().Memo1->viewport(), &key);
    EXPECT_EQ(caption, "直す: TEXT 0 10 1 A&&B");
}

TEST_F(ShellTest, AWarningHasDotsOfItsOwnAndARunsWarningLastsUntilItsLineIsEdited) {
    M().Memo1->setPlainText("LINE 5 5 5 5 1\nCIRCLE 100 100 50 2\nPAINT 150 100 4 2\n");
    QApplication::processEvents();
    const QRgb dots = qRgb(0x00, 0x45, 0x9e), wave = qRgb(0xb0, 0x00, 0x00);
    EXPECT_GE(RowsWithColour(M().Memo1, 0, dots), 2);
    EXPECT_EQ(RowsWithColour(M().Memo1, 0, wave), 0) << "a warning is no error";
    EXPECT_EQ(RowsWithColour(M().Memo1, 2, dots), 0) << "not before a run";
    M().N4Click();
    QApplication::processEvents();
    const QTextBlock paint = M().Memo1->document()->findBlockByNumber(2);
    EXPECT_TRUE(M().Memo1->Teacher()->TipOf(paint).startsWith("塗り始めの点が境界の色なので、何も塗られません\n"));
    EXPECT_GE(RowsWithColour(M().Memo1, 2, dots), 2);
    QTextCursor c(paint);
    c.movePosition(QTextCursor::EndOfBlock);
    M().Memo1->setTextCursor(c);
    QTest::keyClick(M().Memo1, Qt::Key_Backspace);
    QTest::keyClicks(M().Memo1, "3");
    EXPECT_TRUE(M().Memo1->Teacher()->TipOf(M().Memo1->document()->findBlockByNumber(2)).isEmpty());
}

TEST_F(ShellTest, TheErrorWindowExplainsItsLine) {
    M().Memo1->setPlainText("CIRCLE 100 100\n");
    M().N4Click();
    const QString explanation = "CIRCLE には 半径、色 が足りません。CIRCLE は「CIRCLE x y 半径 色」の形で書きます。";
    EXPECT_EQ(forms.FormE->Memo1->toolTip(), explanation);
    EXPECT_EQ(forms.FormE->Memo1->accessibleDescription(), explanation);
    EXPECT_EQ(ErrorLog(), "  1行：設定値が足りません\r\n") << "the log itself is as it was";
    M().Memo1->setPlainText("CIRCLE 100 100 5 1\n");
    M().N4Click();
    EXPECT_EQ(forms.FormE->Memo1->toolTip(), "");
}

TEST_F(ShellTest, ThePictureIsToldInWordsAfterEveryRun) {
    M().Memo1->setPlainText("BOX 100 100 300 300 1\nCIRCLE 200 200 50 2\n");
    M().N4Click();
    EXPECT_EQ(forms.FormG->Image1->accessibleDescription(), "描いた命令は 2 個、使った色は 青、赤 です。");
    M().Memo1->setPlainText("BOX 100 100 300 300 1\nCIRCLE 200 200 60 2\nLINE 0 0 9 9 4\n");
    M().N4Click();
    EXPECT_EQ(forms.FormG->Image1->accessibleDescription(),
              "描いた命令は 3 個、使った色は 青、赤、緑 です。 前の実行から、2行が変わりました、3行が増えました。");
}

TEST_F(ShellTest, PictureWordsListsTheStatementsAndAChosenRowGoesToItsLine) {
    M().Memo1->setPlainText("BOX 100 100 300 300 1\nREM\nCIRCLE 200 200 50 2\n");
    M().N4Click();
    const std::unique_ptr<QMenu> menu = forms.FormG->Image1->ContextMenu(QPoint(5, 5));
    QAction* words = menu->findChild<QAction*>("ShowDescription");
    ASSERT_TRUE(words);
    EXPECT_EQ(words->text(), "絵の説明");
    words->trigger();
    DescriptionWindow* window = M().PictureWords();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_EQ(window->windowTitle(), "絵の説明");
    ASSERT_EQ(window->Items->count(), 2);
    EXPECT_TRUE(window->Items->item(1)->text().startsWith("3行 円（赤）: 中心 (200, 200)、半径 50。"));
    EXPECT_TRUE(window->Items->item(1)->text().endsWith("1行の四角の中です。"));
    emit window->Items->itemActivated(window->Items->item(1));
    EXPECT_EQ(M().Memo1->CaretLineNumber(), 3);
    EXPECT_TRUE(M().FollowsCaret()) << "its pixels are marked as following the caret marks them";
    // The window keeps up with every run.
    M().Memo1->setPlainText("LINE 0 0 9 9 4\n");
    M().N4Click();
    ASSERT_EQ(window->Items->count(), 1);
    EXPECT_TRUE(window->Items->item(0)->text().startsWith("1行 線（緑）"));
    M().N6Click();
    EXPECT_EQ(window->Items->count(), 0);
    EXPECT_EQ(window->Summary->text(), "描いた命令はありません。");
}

}  // namespace
}  // namespace kuv
