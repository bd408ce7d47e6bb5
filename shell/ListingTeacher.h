// What the listing editor teaches while a listing is written, beside the
// Run command and without changing the text: each line checked as Run
// would check it (a wavy underline under a line where Run would stop, its
// ErrorLog line as a tooltip), colours for the parts of a statement, a
// swatch after each colour number, grey for the lines after END, and a hint
// with the form of the statement under the caret.
//
// Only the lines on screen are coloured and checked, when they are shown
// or changed: opening or pasting a huge listing costs nothing here. A
// line's verdict depends on its own text and on whether the run stops
// before it (an END line, or a first line that is blank or END), which is
// kept as the place of that line and looked for again only when an edit
// touches it or could make a new one.
#pragma once

#include "language/Explanations.h"
#include "language/Statements.h"

#include <QObject>
#include <QTextBlock>
#include <QTextCursor>
#include <QTimer>

#include <optional>
#include <string>
#include <utility>
#include <vector>

class QContextMenuEvent;
class QLabel;
class QPainter;

namespace kuv {

class ListingEditor;

class ListingTeacher : public QObject {
public:
    explicit ListingTeacher(ListingEditor* editor);

    // The ErrorLog line that Run would write if the line of block were the
    // first error; empty for a clean line, a line Run never reaches, and
    // the line being typed.
    QString MessageOf(const QTextBlock& block);
    // What the line's mark says: its ErrorLog line or warnings, what they
    // mean, and the fix; empty where there is no mark.
    QString TipOf(const QTextBlock& block);
    // The fixed line for the line of block, where its error has one.
    std::optional<QString> FixOf(const QTextBlock& block);
    // Puts the fixed line in place of the line of block, as one edit.
    void ApplyFix(const QTextBlock& block, const QString& fixed);
    // What the last run found that only a run can (fills that painted
    // nothing), shown on its lines until they are edited.
    void SetRunFindings(RunFindings findings);
    // The swatches and error waves of the lines on screen, drawn beside
    // the editor's characters, never over them.
    void PaintMarks(QPainter& painter);
    // The hint of the statement under the caret, while one is shown.
    QLabel* Hint() const { return hint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a line stands: whether the run stops before it without an
    // error, and whether it is the first line that the rewrite keeps.
    struct Standing {
        bool stopped;
        bool first;
    };
    // What the run would make of the line that holds block.
    struct Verdict {
        QTextBlock first;  // the line's first block
        std::string bytes;  // its text as the run takes it
        bool reached = true;
        StatementKind kind = skUnknown;
        std::string message;  // CP932; empty for none (or not yet)
        // The check, its number not yet counted; for a line with text that
        // is not being typed, else none.
        std::optional<LineCheck> check;
    };
    Standing StandingOf(const QTextBlock& lineStart);
    Verdict VerdictOf(const QTextBlock& block);
    // The marks of a line (none while it is typed); numbered asks for the
    // ErrorLog line's number, which costs a count of the lines before it.
    std::vector<Problem> ProblemsOf(const Verdict& verdict, bool numbered);
    std::vector<Problem> ProblemsOf(const QTextBlock& block, bool numbered) { return ProblemsOf(VerdictOf(block), numbered); }
    // The line's number in the listing as the run rewrites it.
    int RunNumberOf(const QTextBlock& first) const;
    // Colours and checks the lines on screen whose text or standing changed.
    void RefreshShownLines();
    void ContentsChanged(int position, int removed, int added);
    void CaretMoved();
    void UpdateHint();
    void PaintWave(QPainter& painter, const QTextBlock& block, const QRectF& box, bool dark);
    void PaintDots(QPainter& painter, const QTextBlock& block, const QRectF& box, bool dark);
    void ShowContextMenu(const QContextMenuEvent& event);
    using ShownBlocks = std::vector<std::pair<QTextBlock, QRectF>>;
    static QRectF TextBoxOf(const QTextBlock& block, const ShownBlocks& shown);
    // Where the hint of the given size goes, in global coordinates.
    QPoint HintPlace(const QTextCursor& caret, QSize size) const;
    void UpdateDescription();
    void ForgetStop();

    ListingEditor* editor_;
    QLabel* hint_;
    // Set while formats are being laid on: not an edit of the listing.
    bool applying_ = false;
    // The line being typed, not marked until the caret leaves it or the
    // keys rest for a second; -1 for none.
    int typingBlock_ = -1;
    QTimer typingRest_;
    QTimer refresh_;
    bool hintDismissed_ = false;
    int hintBlock_ = -1;
    // The line whose typing shows the hint; -1 while none is typed.
    int hintLine_ = -1;
    // Where the run stops without an error and the first line it keeps,
    // once found; how far the search has looked (the first block not yet
    // looked at), and whether it looked at everything.
    QTextCursor stop_;
    QTextCursor firstLine_;
    QTextCursor looked_;
    bool lookedAll_ = false;
    // An edit made the search start again, from the next look on.
    bool forgetStop_ = false;
    RunFindings run_;
};

}  // namespace kuv
