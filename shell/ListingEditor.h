// The listing editor (Memo1 of the main window): a plain-text editor that
// reports clicks and key releases, keeps its text within what CP932 can
// hold, and can mark the line of a run's error.
#pragma once

#include <QPlainTextEdit>

namespace kuv {

class ListingEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ListingEditor(QWidget* parent = nullptr);

    // 1-based number of the line that holds the caret, or the start of the
    // selection; a wrapped line counts once.
    int CaretLineNumber() const;

    // Replaces the whole text in one edit (one undo step), keeping the
    // caret on its line where that line still exists.
    void ReplaceAllText(const QString& text);

    // Marks a line (1-based) with a background until the next edit or until
    // ClearErrorLine. It moves no caret and changes no text.
    void MarkErrorLine(int lineNumber);
    void ClearErrorLine();
    int MarkedErrorLine() const { return markedLine_; }

signals:
    // The left button went down in the editor and came up inside it.
    void clicked();
    // A key was released while the editor had the focus.
    void keyReleased();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    // Typed, composed, pasted and dropped text enters through these; each
    // turns what CP932 cannot hold into '?'.
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:

    bool leftPressed_ = false;
    int markedLine_ = 0;
};

}  // namespace kuv
