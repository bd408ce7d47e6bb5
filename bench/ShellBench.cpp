// Timings of the desktop program on the offscreen platform: start-up, the
// Run command on a 100,000-line listing (editor rewrite and repaint
// included), and typing into that listing.
#include "shell/Forms.h"
#include "shell/GraphUnit1.h"
#include "shell/ListingEditor.h"
#include "shell/MainUnit2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QClipboard>
#include <QTemporaryDir>
#include <QTextCursor>

#include <sys/resource.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <cstdio>
#include <random>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// 100,000 lines in lower case with empty lines between, so that the run
// rewrites every line of the editor.
QString LargeListing() {
    std::mt19937 rng(3);
    auto r = [&](int hi) { return QString::number(std::uniform_int_distribution<int>(0, hi)(rng)); };
    QString text;
    for (int i = 0; i < 100000; ++i) {
        switch (i % 5) {
            case 0: text += "line " + r(640) + " " + r(480) + " " + r(640) + " " + r(480) + " " + r(7); break;
            case 1: text += "  circle " + r(640) + " " + r(480) + " " + r(60) + " " + r(7); break;
            case 2: text += "box " + r(640) + " " + r(480) + " " + r(640) + " " + r(480) + " " + r(7); break;
            case 3: text += "arc " + r(640) + " " + r(480) + " " + r(60) + " " + r(360) + " " + r(360) + " " + r(7); break;
            default: text += "rem " + r(99999); break;
        }
        text += (i % 10 == 0) ? "\n\n" : "\n";
    }
    return text + "end\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer startup;
    startup.start();
    QApplication app(argc, argv);
    kuv::Forms forms = kuv::CreateForms();
    forms.FormM->show();
    QApplication::processEvents();
    forms.FormM->grab();  // both windows painted once
    forms.FormG->grab();
    std::printf("start-up to both windows shown:        %8.1f ms\n", startup.nsecsElapsed() / 1e6);

    const QString listing = LargeListing();
    std::vector<double> runs;
    for (int round = 0; round < 5; ++round) {
        forms.FormM->Memo1->setPlainText(listing);
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        forms.FormM->N4Click();
        QApplication::processEvents();
        forms.FormG->grab();
        runs.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("Run of 100,000 lines, rewrite + repaint: %8.1f ms (median of 5)\n", Median(runs));

    // The Picture following the caret through that listing: a line down at
    // a time near its start, and a jump to its middle.
    {
        forms.FormM->SetFollowCaret(true);
        std::vector<double> steps;
        for (int i = 0; i < 50; ++i) {
            QElapsedTimer t;
            t.start();
            forms.FormM->Memo1->moveCursor(QTextCursor::Down);
            QApplication::processEvents();
            steps.push_back(t.nsecsElapsed() / 1e6);
        }
        QTextCursor middle(forms.FormM->Memo1->document()->findBlockByNumber(50000));
        QElapsedTimer t;
        t.start();
        forms.FormM->Memo1->setTextCursor(middle);
        QApplication::processEvents();
        std::printf("caret a line down, Picture following:  %8.3f ms (median of 50); to line 50,000: %.1f ms\n",
                    Median(steps), t.nsecsElapsed() / 1e6);
        forms.FormM->SetFollowCaret(false);
    }

    // Typing in the middle of the rewritten listing.
    QTextCursor c = forms.FormM->Memo1->textCursor();
    c.setPosition(forms.FormM->Memo1->document()->characterCount() / 2);
    forms.FormM->Memo1->setTextCursor(c);
    std::vector<double> keys;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(forms.FormM->Memo1, &press);
        QApplication::sendEvent(forms.FormM->Memo1, &release);
        QApplication::processEvents();
        keys.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("one key typed into that listing:       %8.3f ms (median of 200), worst %.3f ms\n", Median(keys),
                *std::max_element(keys.begin(), keys.end()));
    // Pasting the 100,000 lines into an empty listing, until the window
    // shows them coloured and checked.
    {
        forms.FormM->Memo1->clear();
        QApplication::processEvents();
        QApplication::clipboard()->setText(listing);
        QElapsedTimer t;
        t.start();
        forms.FormM->Memo1->paste();
        const double pasted = t.nsecsElapsed() / 1e6;
        QApplication::processEvents();
        forms.FormM->grab();
        std::printf("paste of 100,000 lines: %.1f ms, then shown coloured and checked: %.1f ms\n", pasted,
                    t.nsecsElapsed() / 1e6 - pasted);
        // Held by the offscreen clipboard, it would outlive the application.
        QApplication::clipboard()->clear();
    }
    // Open and Overwrite save of a 10 MB listing, then a key typed.
    struct Answers : kuv::Dialogs {
        QString path;
        std::optional<QString> RunFileDialog(const kuv::FileDialog&) override { return path; }
        void ShowErrorBox(const QString& m) override { std::printf("error: %s\n", qPrintable(m)); }
        void ShowMessage(const QString&) override {}
        bool OpenDocument(const QString&) override { return true; }
    };
    auto answers = std::make_unique<Answers>();
    answers->path = QDir::temp().absoluteFilePath(QStringLiteral("kuv-bench-10mb.kuv"));
    const QString path = answers->path;
    forms.FormM->SetDialogs(std::move(answers));
    {
        QString big;
        std::mt19937 rng(5);
        // 10 MB in about 400,000 lines: LINE and ARC statements in turn.
        auto n = [&](unsigned hi) { return QStringLiteral("%1").arg(100 + rng() % (hi - 99), 3); };
        for (int i = 0; big.size() < 10'000'000; ++i)
            big += i % 2 ? QStringLiteral("LINE %1 %2 %3 %4 %5\r\n").arg(n(640), n(480), n(640), n(480)).arg(rng() % 8)
                         : QStringLiteral("ARC %1 %2 %3 %4 %5 %6\r\n").arg(n(640), n(480), n(320), n(721), n(721)).arg(rng() % 8);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(big.toLatin1());
    }
    forms.FormM->Memo1->setPlainText(QStringLiteral("REM"));
    QApplication::processEvents();
    QElapsedTimer t;
    t.start();
    forms.FormM->N1Click();
    QApplication::processEvents();
    std::printf("Open of a 10 MB listing (%d lines):   %8.1f ms\n", forms.FormM->Memo1->document()->blockCount() - 1,
                t.nsecsElapsed() / 1e6);
    t.restart();
    forms.FormM->Save2Click();
    std::printf("Overwrite save of it:                  %8.1f ms\n", t.nsecsElapsed() / 1e6);
    // Its run, then the first question about a pixel (the tooltip): the run
    // recorded the owners, so nothing runs again.
    t.restart();
    forms.FormM->N4Click();
    std::printf("Run of the 10 MB listing:              %8.1f ms\n", t.nsecsElapsed() / 1e6);
    t.restart();
    const QString described = forms.FormM->DescribePoint(320, 240);
    std::printf("first tooltip over its Picture:        %8.3f ms (%s)\n", t.nsecsElapsed() / 1e6,
                described.contains(QStringLiteral("行:")) ? "names its line" : "no line");
    t.restart();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(forms.FormM->Memo1, &press);
    QApplication::processEvents();
    std::printf("a key typed afterwards:                %8.3f ms\n", t.nsecsElapsed() / 1e6);
    // Ending the program with that listing changed and unsaved keeps it;
    // with nothing to keep, ending costs nothing more.
    {
        QTemporaryDir state;
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
        t.restart();
        const QString kept = forms.FormM->RecoverUnsavedListing();
        std::printf("keeping the changed 10 MB listing:     %8.1f ms (%s)\n", t.nsecsElapsed() / 1e6,
                    kept.isEmpty() ? "FAILED" : "kept");
        forms.FormM->Save2Click();
        t.restart();
        forms.FormM->RecoverUnsavedListing();
        std::printf("ending with nothing to keep:           %8.4f ms\n", t.nsecsElapsed() / 1e6);
    }
    QFile::remove(path);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of all the above:          %8.1f MB\n", usage.ru_maxrss / 1024.0);

    // One line without spaces: opened, then a key typed in its middle.
    for (const int size : {100'000, 1'000'000, 10'000'000}) {
        {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write("REM " + QByteArray(size, 'A') + "\r\n");
        }
        forms.FormM->Memo1->setPlainText(QStringLiteral("REM"));
        QApplication::processEvents();
        t.restart();
        forms.FormM->N1Click();
        QApplication::processEvents();
        forms.FormM->grab();
        const double open = t.nsecsElapsed() / 1e6;
        QTextCursor middle = forms.FormM->Memo1->textCursor();
        middle.setPosition(size / 2);
        forms.FormM->Memo1->setTextCursor(middle);
        QApplication::processEvents();
        std::vector<double> typed;
        for (int i = 0; i < 5; ++i) {
            t.restart();
            QKeyEvent key(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
            QApplication::sendEvent(forms.FormM->Memo1, &key);
            QApplication::processEvents();
            forms.FormM->grab();
            typed.push_back(t.nsecsElapsed() / 1e6);
        }
        std::printf("one line of %5d KB: open %8.1f ms, a key typed in it %7.1f ms (median of 5)\n", size / 1000, open,
                    Median(typed));
    }
    QFile::remove(path);

    kuv::DestroyForms(forms);
    return 0;
}
