// The listing editor (Memo1 of the main window): a plain-text editor that
// reports clicks and key releases, keeps its text within what CP932 can
// hold, and can mark the line of a run's error.
//
// Qt lays out a whole paragraph again on every key typed into it, and the
// layout of a wrapped paragraph without spaces grows with the square of its
// length: one line of a megabyte froze the editor for minutes. A line
// longer than kSegmentChars is therefore held as several paragraphs, its
// segments; every paragraph after the first carries a mark that it
// continues the line before. The segments wrap like the rows of one line
// and are one line for everything the program does: its text, the line
// numbers, copying, saving.
#pragma once

#include <QPlainTextEdit>
#include <QTextBlock>

#include <utility>
#include <vector>

namespace kuv {

class ListingTeacher;

class ListingEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    // The longest line held as one paragraph.
    static constexpr int kSegmentChars = 4096;

    explicit ListingEditor(QWidget* parent = nullptr);

    // The listing's text, lines separated by '\n'. Use it, never
    // toPlainText(), which would break a long line at its segments.
    QString ListingText() const;

    // 1-based number of the line that holds the caret, or the start of the
    // selection; a wrapped line counts once.
    int CaretLineNumber() const;

    // Replaces the whole text in one edit (one undo step), keeping the
    // caret on its line where that line still exists.
    void ReplaceAllText(const QString& text);

    // Selects a whole line (1-based) and scrolls to it.
    void SelectLine(int lineNumber);
    // Puts the caret at the start of a line (1-based) and scrolls to it.
    void MoveCaretToLine(int lineNumber);

    // Marks a line (1-based) with a background until the next edit or until
    // ClearErrorLine, and gives the description (the ErrorLog line and what
    // it means) as the editor's accessible description meanwhile, for
    // screen readers. It moves no caret and changes no text.
    void MarkErrorLine(int lineNumber, const QString& description);
    void ClearErrorLine();
    int MarkedErrorLine() const { return markedLine_; }
    // Highlights the line (1-based) that a replay is drawing, beside the
    // error mark; 0 ends it. Moves no caret and changes no text.
    void ShowReplayLine(int lineNumber);

    // The 0-based line that the paragraph belongs to.
    int LineOf(const QTextBlock& block) const;

    // True for the second and later segments of a long line.
    static bool ContinuesLine(const QTextBlock& block);

    // The blocks on screen, from the top, with their places in the viewport.
    std::vector<std::pair<QTextBlock, QRectF>> ShownBlocks() const;

    // The checks, colours and hints shown while the listing is written.
    ListingTeacher* Teacher() const { return teacher_; }

signals:
    // The left button went down in the editor and came up inside it.
    void clicked();
    // A key was released while the editor had the focus.
    void keyReleased();

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    // Typed, composed, pasted and dropped text enters through these; each
    // turns what CP932 cannot hold into '?'.
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Inserts text at the cursor, long lines as segments and every line
    // break as a line of its own (never a continuation).
    void InsertListingText(QTextCursor& cursor, const QString& text);
    // Cuts the paragraph at position into segments where it has grown long.
    void SplitLongParagraph(int position);
    // The first paragraph of line (0-based), or an invalid block.
    QTextBlock FirstBlockOfLine(int line) const;
    // The listing's text between two positions of the document.
    QString TextBetween(int start, int end) const;
    // Keys that would act on the boundary between two segments, which is
    // no character: Return, Backspace and Delete. True when handled.
    bool HandleSegmentKey(QKeyEvent* e);

    ListingTeacher* teacher_;
    bool leftPressed_ = false;
    int markedLine_ = 0;
    // Set once the document has held segments; without them the document's
    // paragraphs are the lines, and the fast paths apply.
    bool mayHaveSegments_ = false;
};

}  // namespace kuv
