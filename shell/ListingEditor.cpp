#include "ListingEditor.h"

#include "CommandLine.h"
#include "ListingTeacher.h"
#include "language/Cp932.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>

namespace kuv {

namespace {

constexpr int kContinuesLineProperty = QTextFormat::UserProperty + 1;

QTextBlockFormat LineStartFormat() { return QTextBlockFormat(); }

QTextBlockFormat ContinuationFormat() {
    QTextBlockFormat f;
    f.setProperty(kContinuesLineProperty, true);
    return f;
}

// The characters that QTextDocument::toPlainText writes differently from
// how the document holds them.
void AsPlainText(QString& text) {
    for (QChar& c : text) {
        switch (c.unicode()) {
            case 0xFDD0:  // beginning and end of a frame
            case 0xFDD1:
            case QChar::ParagraphSeparator:
            case QChar::LineSeparator: c = QLatin1Char('\n'); break;
            case QChar::Nbsp: c = QLatin1Char(' '); break;
            default: break;
        }
    }
}

// Where the segment of a long line that starts at start ends: after its
// last space where that lies in the segment's second half, so that the
// segment ends where word wrap would break the row anyway; never inside a
// surrogate pair.
qsizetype SegmentEnd(QStringView line, qsizetype start) {
    qsizetype end = start + ListingEditor::kSegmentChars;
    if (end >= line.size()) return line.size();
    const qsizetype half = start + ListingEditor::kSegmentChars / 2;
    const qsizetype space = line.mid(half, end - half).lastIndexOf(QLatin1Char(' '));
    if (space >= 0) return half + space + 1;
    if (line[end].isLowSurrogate()) --end;
    return end;
}

bool HasLongLine(QStringView text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        run = (c == QLatin1Char('\n') || c == QLatin1Char('\r')) ? 0 : run + 1;
        if (run > ListingEditor::kSegmentChars) return true;
    }
    return false;
}

}  // namespace

ListingEditor::ListingEditor(QWidget* parent) : QPlainTextEdit(parent), teacher_(new ListingTeacher(this)) {
    connect(document(), &QTextDocument::contentsChanged, this, [this] {
        if (markedLine_) ClearErrorLine();
    });
}

std::vector<std::pair<QTextBlock, QRectF>> ListingEditor::ShownBlocks() const {
    std::vector<std::pair<QTextBlock, QRectF>> shown;
    const int bottom = viewport()->height();
    for (QTextBlock b = firstVisibleBlock(); b.isValid(); b = b.next()) {
        const QRectF box = blockBoundingGeometry(b).translated(contentOffset());
        if (box.top() > bottom) break;
        shown.emplace_back(b, box);
    }
    return shown;
}

void ListingEditor::paintEvent(QPaintEvent* e) {
    QPlainTextEdit::paintEvent(e);
    QPainter painter(viewport());
    teacher_->PaintMarks(painter);
}

bool ListingEditor::ContinuesLine(const QTextBlock& block) {
    return block.isValid() && block.previous().isValid() && block.blockFormat().hasProperty(kContinuesLineProperty);
}

QString ListingEditor::ListingText() const {
    if (!mayHaveSegments_) return toPlainText();
    return TextBetween(0, document()->characterCount() - 1);
}

QString ListingEditor::TextBetween(int start, int end) const {
    QString out;
    out.reserve(end - start);
    for (QTextBlock b = document()->findBlock(start); b.isValid() && b.position() <= end; b = b.next()) {
        if (b.position() > start && !ContinuesLine(b)) out += QLatin1Char('\n');
        const int from = std::max(start, b.position()) - b.position();
        const int to = std::min(end, b.position() + b.length() - 1) - b.position();
        out += QStringView(b.text()).mid(from, to - from);
    }
    AsPlainText(out);
    return out;
}

QTextBlock ListingEditor::FirstBlockOfLine(int line) const {
    if (!mayHaveSegments_) return document()->findBlockByNumber(line);
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
        if (!ContinuesLine(b) && line-- == 0) return b;
    return {};
}

int ListingEditor::LineOf(const QTextBlock& block) const {
    if (!mayHaveSegments_) return block.blockNumber();
    int line = -1;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (!ContinuesLine(b)) ++line;
        if (b == block) break;
    }
    return line;
}

int ListingEditor::CaretLineNumber() const {
    return LineOf(document()->findBlock(textCursor().selectionStart())) + 1;
}

void ListingEditor::InsertListingText(QTextCursor& cursor, const QString& text) {
    // Short lines go in together, as one insertion; they take the format of
    // the paragraph they go into, so only while that paragraph starts a
    // line, and a break after a continuation is a paragraph of its own.
    QString batch;
    const auto flush = [&] {
        if (!batch.isEmpty()) cursor.insertText(batch);
        batch.clear();
    };
    bool inContinuation = ContinuesLine(cursor.block());
    qsizetype pos = 0;
    for (bool first = true;; first = false) {
        qsizetype brk = text.indexOf(QLatin1Char('\n'), pos);
        if (brk < 0) brk = text.size();
        const QStringView line = QStringView(text).mid(pos, brk - pos);
        if (!first) {
            if (inContinuation) {
                flush();
                cursor.insertBlock(LineStartFormat());
                inContinuation = false;
            } else {
                batch += QLatin1Char('\n');
            }
        }
        if (line.size() <= kSegmentChars) {
            batch += line;
        } else {
            qsizetype end = SegmentEnd(line, 0);
            batch += line.left(end);
            flush();
            while (end < line.size()) {
                const qsizetype start = end;
                end = SegmentEnd(line, start);
                cursor.insertBlock(ContinuationFormat());
                cursor.insertText(line.mid(start, end - start).toString());
            }
            inContinuation = true;
            mayHaveSegments_ = true;
        }
        if (brk == text.size()) break;
        pos = brk + 1;
    }
    flush();
}

void ListingEditor::ReplaceAllText(const QString& text) {
    const QTextCursor old = textCursor();
    const int line = LineOf(old.block());
    const int column = old.positionInBlock();
    const int scroll = verticalScrollBar()->value();

    QTextCursor c(document());
    c.beginEditBlock();
    c.select(QTextCursor::Document);
    if (!mayHaveSegments_ && !HasLongLine(text)) {
        c.insertText(text);
    } else {
        c.removeSelectedText();
        c.setBlockFormat(LineStartFormat());
        InsertListingText(c, text);
    }
    c.endEditBlock();

    QTextBlock block = FirstBlockOfLine(line);
    if (!block.isValid()) block = document()->lastBlock();
    QTextCursor caret(block);
    caret.setPosition(block.position() + std::min(column, block.length() - 1));
    setTextCursor(caret);
    verticalScrollBar()->setValue(scroll);
}

void ListingEditor::SelectLine(int lineNumber) {
    QTextBlock first = FirstBlockOfLine(lineNumber - 1);
    if (!first.isValid()) return;
    QTextBlock last = first;
    while (ContinuesLine(last.next())) last = last.next();
    QTextCursor c(document());
    c.setPosition(first.position());
    c.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    setTextCursor(c);
    ensureCursorVisible();
}

void ListingEditor::MoveCaretToLine(int lineNumber) {
    const QTextBlock first = FirstBlockOfLine(lineNumber - 1);
    if (!first.isValid()) return;
    setTextCursor(QTextCursor(first));
    ensureCursorVisible();
}

namespace {

// A whole line's background, in the colour given.
QTextEdit::ExtraSelection LineMark(const QTextBlock& block, const QColor& colour) {
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(block);
    mark.format.setBackground(colour);
    mark.format.setProperty(QTextFormat::FullWidthSelection, true);
    return mark;
}

}  // namespace

void ListingEditor::MarkErrorLine(int lineNumber, const QString& description) {
    const QTextBlock block = FirstBlockOfLine(lineNumber - 1);
    if (!block.isValid()) return ClearErrorLine();
    setAccessibleDescription(description);
    setExtraSelections({LineMark(block, QColor(255, 200, 200))});
    markedLine_ = lineNumber;
}

void ListingEditor::ClearErrorLine() {
    markedLine_ = 0;
    if (!accessibleDescription().isEmpty()) setAccessibleDescription(QString());
    setExtraSelections({});
}

void ListingEditor::ShowReplayLine(int lineNumber) {
    QList<QTextEdit::ExtraSelection> marks;
    if (markedLine_) marks << LineMark(FirstBlockOfLine(markedLine_ - 1), QColor(255, 200, 200));
    const QTextBlock block = lineNumber > 0 ? FirstBlockOfLine(lineNumber - 1) : QTextBlock();
    if (block.isValid()) {
        marks << LineMark(block, palette().color(QPalette::Highlight).lighter(160));
        // Scrolled into view without moving the caret.
        const QRectF box = blockBoundingGeometry(block).translated(contentOffset());
        if (box.top() < 0 || box.bottom() > viewport()->height())
            verticalScrollBar()->setValue(std::max(0, block.blockNumber() - 3));
    }
    setExtraSelections(marks);
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

void ListingEditor::SplitLongParagraph(int position) {
    QTextBlock b = document()->findBlock(position);
    while (b.isValid() && b.length() - 1 > kSegmentChars) {
        QTextCursor at(document());
        at.setPosition(b.position() + static_cast<int>(SegmentEnd(b.text(), 0)));
        at.insertBlock(ContinuationFormat());
        mayHaveSegments_ = true;
        b = at.block();
    }
}

bool ListingEditor::HandleSegmentKey(QKeyEvent* e) {
    QTextCursor c = textCursor();
    if (e == QKeySequence::InsertParagraphSeparator) {
        // A new paragraph would take the format of the one it splits, and a
        // break typed into a continuation would vanish from the text.
        c.beginEditBlock();
        c.removeSelectedText();
        c.insertBlock(LineStartFormat());
        c.endEditBlock();
    } else if (e->key() == Qt::Key_Backspace && !(e->modifiers() & ~Qt::ShiftModifier) && !c.hasSelection() &&
               c.atBlockStart() && ContinuesLine(c.block())) {
        while (c.atBlockStart() && ContinuesLine(c.block())) c.movePosition(QTextCursor::PreviousCharacter);
        c.deletePreviousChar();
    } else if (e == QKeySequence::Delete && !c.hasSelection() && c.atBlockEnd() && ContinuesLine(c.block().next())) {
        while (c.atBlockEnd() && ContinuesLine(c.block().next())) c.movePosition(QTextCursor::NextCharacter);
        c.deleteChar();
    } else {
        return false;
    }
    setTextCursor(c);
    ensureCursorVisible();
    e->accept();
    return true;
}

void ListingEditor::keyPressEvent(QKeyEvent* e) {
    // Alt with a key is a command to the window (or to nobody), never text:
    // Alt+F must not type "f".
    if (e->modifiers() & (Qt::AltModifier | Qt::MetaModifier) && !e->text().isEmpty()) return e->ignore();
    if (mayHaveSegments_ && !isReadOnly() && HandleSegmentKey(e)) return;
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
    // A dropped listing file is opened by the main window, not inserted.
    if (!source || !DroppedListing(source).isEmpty()) return {};
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
    if (!mayHaveSegments_ && !HasLongLine(text) && textCursor().block().length() + text.size() <= kSegmentChars) {
        QMimeData plain;
        plain.setText(text);
        return QPlainTextEdit::insertFromMimeData(&plain);
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.removeSelectedText();
    const int from = c.position();
    InsertListingText(c, text);
    // Pasted into a line, the text may have made the paragraphs at either
    // end long: paste after paste would otherwise grow one without bound.
    SplitLongParagraph(from);
    SplitLongParagraph(c.position());
    c.endEditBlock();
    setTextCursor(c);
    ensureCursorVisible();
}

QMimeData* ListingEditor::createMimeDataFromSelection() const {
    if (!mayHaveSegments_) return QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor c = textCursor();
    auto* data = new QMimeData;
    data->setText(TextBetween(c.selectionStart(), c.selectionEnd()));
    return data;
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
