#include "ListingEditor.h"

#include "language/Cp932.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace kuv {

ListingEditor::ListingEditor(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (markedLine_) ClearErrorLine();
    });
}

int ListingEditor::CaretLineNumber() const {
    const QTextCursor c = textCursor();
    return document()->findBlock(c.selectionStart()).blockNumber() + 1;
}

void ListingEditor::ReplaceAllText(const QString& text) {
    const QTextCursor old = textCursor();
    const int line = old.block().blockNumber();
    const int column = old.positionInBlock();
    const int scroll = verticalScrollBar()->value();

    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    c.insertText(text);
    c.endEditBlock();

    const QTextBlock block = document()->findBlockByNumber(std::min(line, document()->blockCount() - 1));
    QTextCursor caret(block);
    caret.setPosition(block.position() + std::min(column, block.length() - 1));
    setTextCursor(caret);
    verticalScrollBar()->setValue(scroll);
}

void ListingEditor::MarkErrorLine(int lineNumber) {
    const QTextBlock block = document()->findBlockByNumber(lineNumber - 1);
    if (!block.isValid()) return ClearErrorLine();
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(block);
    mark.format.setBackground(QColor(255, 200, 200));
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    setExtraSelections({mark});
    markedLine_ = lineNumber;
}

void ListingEditor::ClearErrorLine() {
    markedLine_ = 0;
    setExtraSelections({});
}

namespace {

// The text with every character that CP932 cannot hold as '?'; only what
// enters is looked at, so typing costs the same in a listing of any length.
bool Representable(const QString& text, QString& replaced) {
    std::u16string u(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    if (!ReplaceUnencodable(u)) return true;
    replaced = QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
    return false;
}

}  // namespace

void ListingEditor::keyPressEvent(QKeyEvent* e) {
    QString text;
    if (e->text().isEmpty() || Representable(e->text(), text)) return QPlainTextEdit::keyPressEvent(e);
    QKeyEvent filtered(e->type(), e->key(), e->modifiers(), text, e->isAutoRepeat(), static_cast<ushort>(e->count()));
    QPlainTextEdit::keyPressEvent(&filtered);
    e->setAccepted(filtered.isAccepted());
}

void ListingEditor::inputMethodEvent(QInputMethodEvent* e) {
    QString text;
    if (Representable(e->commitString(), text)) return QPlainTextEdit::inputMethodEvent(e);
    QInputMethodEvent filtered(e->preeditString(), e->attributes());
    filtered.setCommitString(text, e->replacementStart(), e->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
}

namespace {

// The plain text that a paste or a drop carries; null when it carries none.
// A list of files or an image is no text, although Qt would offer the file
// names as text.
QString PlainTextOf(const QMimeData* source) {
    if (!source) return {};
    const QStringList formats = source->formats();
    const bool plain = std::any_of(formats.begin(), formats.end(),
                                   [](const QString& f) { return f.startsWith(QLatin1String("text/plain")); });
    if (!plain) return {};
    const QString text = source->text();
    return text.isEmpty() ? QString() : text;
}

}  // namespace

bool ListingEditor::canInsertFromMimeData(const QMimeData* source) const {
    return !PlainTextOf(source).isNull();
}

void ListingEditor::insertFromMimeData(const QMimeData* source) {
    // Every paste (keys, middle click, context menu) and every drop ends
    // here. Qt 6.4 crashes on data without any format, as an empty
    // clipboard gives, so Qt only ever sees data of our own making: the
    // text alone, with what CP932 cannot hold as '?'.
    QString text = PlainTextOf(source);
    if (text.isNull()) return;
    QString replaced;
    if (!Representable(text, replaced)) text = replaced;
    QMimeData plain;
    plain.setText(text);
    QPlainTextEdit::insertFromMimeData(&plain);
}

void ListingEditor::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) leftPressed_ = true;
    QPlainTextEdit::mousePressEvent(e);
}

void ListingEditor::mouseReleaseEvent(QMouseEvent* e) {
    QPlainTextEdit::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton || !leftPressed_) return;
    leftPressed_ = false;
    if (viewport()->rect().contains(e->position().toPoint())) emit clicked();
}

void ListingEditor::keyReleaseEvent(QKeyEvent* e) {
    QPlainTextEdit::keyReleaseEvent(e);
    emit keyReleased();
}

}  // namespace kuv
