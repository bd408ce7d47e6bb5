#include "ListingTeacher.h"

#include "ListingEditor.h"
#include "ShiftJis.h"
#include "language/LineStyle.h"
#include "language/Runner.h"
#include "picture/Drawing.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QMenu>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

#include <cmath>
#include <memory>
#include <utility>

namespace kuv {
namespace {

// How long the keys rest before the line being typed is checked.
constexpr int kTypingRestMs = 1000;

std::u16string_view Utf16Of(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The line's bytes as the run takes them: only its first 255 bytes count,
// so the first segment of a long line is all it needs.
std::string BytesOf(const QTextBlock& block) { return ListingFromEditorText(block.text()); }

// Whether a line may be an END line: after its spaces, "END" in any case.
// Most lines are not, and are passed over without their normal form.
bool MayBeEnd(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
    return text.mid(i, 3).compare(QLatin1String("END"), Qt::CaseInsensitive) == 0;
}

// The styles of the parts of a statement, readable on a light background
// and on a dark one.
QTextCharFormat StyleOf(Role role, bool dark) {
    QTextCharFormat f;
    switch (role) {
        case Role::Word:
            f.setForeground(dark ? QColor(0x8a, 0xb4, 0xff) : QColor(0x00, 0x33, 0xb3));
            f.setFontWeight(QFont::Bold);
            break;
        case Role::Number: f.setForeground(dark ? QColor(0xff, 0xc0, 0x66) : QColor(0x9a, 0x4a, 0x00)); break;
        case Role::Text: f.setForeground(dark ? QColor(0xe0, 0x9a, 0xff) : QColor(0x80, 0x00, 0x80)); break;
        case Role::Comment:
            f.setForeground(dark ? QColor(0x7f, 0xd0, 0x7f) : QColor(0x2e, 0x7d, 0x32));
            f.setFontItalic(true);
            break;
        case Role::Unknown: f.setForeground(dark ? QColor(0xff, 0x80, 0x80) : QColor(0xb0, 0x00, 0x20)); break;
    }
    return f;
}

QColor QColorOf(ColorRef c) { return QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF); }

// Where a mark goes under each screen row of a line's characters: from its
// left to its right (at least 8 pixels), on a base 3 pixels above the
// row's bottom, in its descent.
template <class Mark>
void ForEachRowUnder(const QTextBlock& block, const QRectF& box, Mark mark) {
    const QTextLayout* layout = block.layout();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        if (line.textLength() == 0) continue;
        const qreal left = box.left() + line.x();
        mark(left, left + std::max<qreal>(line.naturalTextWidth(), 8), box.top() + line.y() + line.height() - 3);
    }
}

// The core's hint as rich text: the marked parameter in bold.
QString RichHint(const std::u16string& hint) {
    return QString::fromStdU16String(hint)
        .toHtmlEscaped()
        .replace(QChar(kHintMarkStart), QStringLiteral("<b>"))
        .replace(QChar(kHintMarkEnd), QStringLiteral("</b>"))
        .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

}  // namespace

ListingTeacher::ListingTeacher(ListingEditor* editor) : QObject(editor), editor_(editor) {
    hint_ = new QLabel(editor, Qt::ToolTip);
    hint_->setObjectName(QStringLiteral("Hint"));
    hint_->setAccessibleDescription(QStringLiteral("ヒント"));
    hint_->setAttribute(Qt::WA_ShowWithoutActivating);
    hint_->setTextFormat(Qt::RichText);
    hint_->setForegroundRole(QPalette::ToolTipText);
    hint_->setBackgroundRole(QPalette::ToolTipBase);
    hint_->setAutoFillBackground(true);
    hint_->setMargin(3);
    hint_->setFrameStyle(QFrame::Box | QFrame::Plain);

    typingRest_.setSingleShot(true);
    typingRest_.setInterval(kTypingRestMs);
    connect(&typingRest_, &QTimer::timeout, this, [this] {
        typingBlock_ = -1;
        refresh_.start();
        UpdateDescription();
    });
    connect(editor_->document(), &QTextDocument::contentsChange, this, &ListingTeacher::ContentsChanged);
    // Formats are laid on from the event loop, never inside the document's
    // own edit, whose updates come first (a change of formats in the middle
    // of an edit corrupts the document).
    refresh_.setSingleShot(true);
    refresh_.setInterval(0);
    connect(&refresh_, &QTimer::timeout, this, &ListingTeacher::RefreshShownLines);
    connect(editor_, &QPlainTextEdit::updateRequest, this, [this] {
        if (!applying_ && !refresh_.isActive()) refresh_.start();
    });
    connect(editor_, &QPlainTextEdit::cursorPositionChanged, this, &ListingTeacher::CaretMoved);
    editor_->viewport()->installEventFilter(this);
    editor_->installEventFilter(this);
    ForgetStop();
}

void ListingTeacher::ForgetStop() {
    stop_ = QTextCursor();
    firstLine_ = QTextCursor();
    looked_ = QTextCursor(editor_->document());
    lookedAll_ = false;
}

ListingTeacher::Standing ListingTeacher::StandingOf(const QTextBlock& block) {
    if (std::exchange(forgetStop_, false)) ForgetStop();
    // Looks at the lines from where it left off up to this one.
    QTextBlock b = looked_.block();
    if (!lookedAll_ && b.isValid() && b.position() < block.position()) {
        for (; b.isValid() && b.position() < block.position(); b = b.next()) {
            if (ListingEditor::ContinuesLine(b)) continue;
            const QString text = b.text();
            if (text.isEmpty()) continue;
            const bool first = firstLine_.isNull();
            if (first) firstLine_ = QTextCursor(b);
            if ((first || MayBeEnd(text)) && CheckLineAt(BytesOf(b), {first, false, false}).endsRun) {
                stop_ = QTextCursor(b);
                lookedAll_ = true;
                break;
            }
        }
        if (b.isValid())
            looked_ = QTextCursor(b);
        else
            lookedAll_ = true;
    }
    return {!stop_.isNull() && stop_.position() < block.position(),
            firstLine_.isNull() || firstLine_.position() >= block.position()};
}

void ListingTeacher::ContentsChanged(int position, int /*removed*/, int added) {
    if (applying_) return;
    QTextDocument* doc = editor_->document();
    const QTextBlock from = doc->findBlock(position), to = doc->findBlock(position + added);
    // A change within one line is typing: that line waits to be checked,
    // and its hint shows while the caret stays on it.
    typingBlock_ = from == to ? from.blockNumber() : -1;
    // A paste, Open or a run's rewrite: the last run's findings no longer
    // belong to these lines (a run sets its own after its rewrite).
    if (from != to) run_ = RunFindings{};
    hintLine_ = typingBlock_;
    typingRest_.start();
    // The place where the run stops holds unless the change touched it or
    // the first line, or came before them and may have made a new one.
    const auto touches = [&](const QTextCursor& c) {
        return !c.isNull() && c.position() >= position - 1 && c.position() <= position + added + 1;
    };
    // A change of more than one line (a paste, a run's rewrite, Open) may
    // have made any of them an END: the search starts again, lazily.
    const bool forget = from != to || touches(stop_) || touches(firstLine_) ||
                        (!firstLine_.isNull() && position < firstLine_.position()) ||
                        (!from.text().isEmpty() && (stop_.isNull() || from.position() < stop_.position()) &&
                         CheckLineAt(BytesOf(from), {}).endsRun);
    // Cursors are not made or dropped here: the document is still in the
    // middle of its edit, going through its cursors.
    if (forget)
        forgetStop_ = true;
    else if (lookedAll_ && stop_.isNull())
        lookedAll_ = false;  // the end moved: lines past the last one looked at
}

ListingTeacher::Verdict ListingTeacher::VerdictOf(const QTextBlock& block) {
    QTextBlock first = block;
    while (ListingEditor::ContinuesLine(first)) first = first.previous();
    Verdict v;
    v.first = first;
    if (first.text().isEmpty()) return v;  // the rewrite deletes it
    const Standing standing = StandingOf(first);
    v.bytes = BytesOf(first);
    const LineCheck check = CheckLineAt(v.bytes, {standing.first, standing.stopped, !first.next().isValid()});
    v.reached = check.reached;
    v.kind = check.verdict.kind;
    if (first.blockNumber() == typingBlock_) return v;
    if (check.verdict.args.error) v.message = check.verdict.args.Msg;
    v.check = check;
    return v;
}

void ListingTeacher::RefreshShownLines() {
    if (applying_) return;
    const bool dark = editor_->palette().color(QPalette::Base).lightness() < 128;
    QTextDocument* doc = editor_->document();
    applying_ = true;
    for (const auto& [b, box] : editor_->ShownBlocks()) {
        const Verdict v = VerdictOf(b);
        QList<QTextLayout::FormatRange> formats;
        const QString line = b.text();
        if (!v.reached) {
            // Halfway between the text and its background, on any palette.
            const QColor text = editor_->palette().color(QPalette::Text), base = editor_->palette().color(QPalette::Base);
            QTextCharFormat grey;
            grey.setForeground(QColor((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                                      (text.blue() + base.blue()) / 2));
            formats.append({0, static_cast<int>(line.size()), grey});
        } else if (!ListingEditor::ContinuesLine(b)) {
            for (const Span& s : LineSpans(Utf16Of(line), v.kind)) {
                formats.append({s.start, s.length, StyleOf(s.role, dark)});
            }
        }
        if (b.layout()->formats() != formats) {
            b.layout()->setFormats(formats);
            doc->markContentsDirty(b.position(), b.length());
            // Laid out again at once: code that reads a block's lines (the
            // caret's row, a click) finds them where it expects them.
            doc->documentLayout()->blockBoundingRect(b);
        }
    }
    applying_ = false;
}

int ListingTeacher::RunNumberOf(const QTextBlock& first) const {
    // Empty lines are gone by then.
    int number = 0;
    for (QTextBlock b = editor_->document()->begin(); b.isValid() && b.position() <= first.position(); b = b.next())
        if (!ListingEditor::ContinuesLine(b) && !b.text().isEmpty()) ++number;
    return number;
}

std::vector<Problem> ListingTeacher::ProblemsOf(const Verdict& v, bool numbered) {
    if (!v.check) return {};
    LineCheck check = *v.check;
    if (numbered) check.number = RunNumberOf(v.first);
    // After a run the editor holds the rewritten listing: its lines are the
    // run's, one for one, until an edit.
    return ProblemsOfLine(v.bytes, check, editor_->LineOf(v.first) + 1, &run_);
}

QString ListingTeacher::MessageOf(const QTextBlock& block) {
    for (const Problem& p : ProblemsOf(block, true))
        if (p.error) return QString::fromStdU16String(p.message);
    return {};
}

QString ListingTeacher::TipOf(const QTextBlock& block) {
    QStringList tips;
    for (const Problem& p : ProblemsOf(block, true)) tips << QString::fromStdU16String(ProblemTip(p));
    return tips.join(QLatin1Char('\n'));
}

std::optional<QString> ListingTeacher::FixOf(const QTextBlock& block) {
    for (const Problem& p : ProblemsOf(block, false))
        if (p.fix) return FromCp932(*p.fix);
    return std::nullopt;
}

void ListingTeacher::ApplyFix(const QTextBlock& block, const QString& fixed) {
    QTextBlock first = block, last = block;
    while (ListingEditor::ContinuesLine(first)) first = first.previous();
    while (last.next().isValid() && ListingEditor::ContinuesLine(last.next())) last = last.next();
    QTextCursor c(first);
    c.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    c.beginEditBlock();
    c.insertText(fixed);
    c.endEditBlock();
    editor_->setTextCursor(c);
    // Not typing: the mended line is checked at once, and shows no hint.
    typingBlock_ = -1;
    hintLine_ = -1;
    hint_->hide();
    refresh_.start();
    UpdateDescription();
}

void ListingTeacher::SetRunFindings(RunFindings findings) {
    run_ = std::move(findings);
    editor_->viewport()->update();
}

void ListingTeacher::ShowContextMenu(const QContextMenuEvent& event) {
    // The line under the pointer, or from the keyboard the caret's.
    const QTextBlock block = event.reason() == QContextMenuEvent::Keyboard
                                 ? editor_->textCursor().block()
                                 : editor_->cursorForPosition(event.pos()).block();
    const std::unique_ptr<QMenu> menu(editor_->createStandardContextMenu(event.pos()));
    // A child of the editor, so that assistive tools find it under it.
    menu->setParent(editor_, menu->windowFlags());
    if (const std::optional<QString> fixed = FixOf(block)) {
        // "&" would make an access key of the next character.
        auto* fix = new QAction(QString::fromStdU16String(FixCaption(fixed->toStdU16String())).replace('&', "&&"), menu.get());
        fix->setObjectName(QStringLiteral("FixLine"));
        const QTextCursor at(block);
        connect(fix, &QAction::triggered, this, [this, at, text = *fixed] { ApplyFix(at.block(), text); });
        QAction* top = menu->actions().isEmpty() ? nullptr : menu->actions().front();
        menu->insertAction(top, fix);
        menu->insertSeparator(top);
    }
    menu->exec(event.globalPos());
}

void ListingTeacher::PaintMarks(QPainter& painter) {
    const int ascent = editor_->fontMetrics().ascent();
    const QColor ink = editor_->palette().color(QPalette::Text);
    const bool dark = editor_->palette().color(QPalette::Base).lightness() < 128;
    for (const auto& [b, box] : editor_->ShownBlocks()) {
        if (ListingEditor::ContinuesLine(b) || b.text().isEmpty()) continue;
        const Verdict v = VerdictOf(b);
        if (!v.reached) continue;
        if (!v.message.empty())
            PaintWave(painter, b, box, dark);
        else if (!ProblemsOf(v, false).empty())
            PaintDots(painter, b, box, dark);
        for (const Swatch& s : LineSwatches(Utf16Of(b.text()), v.kind)) {
            const QTextLine line = b.layout()->lineForTextPosition(s.after);
            if (!line.isValid()) continue;
            // Inside the space after the number, a pixel clear of the
            // glyphs on each side; at the end of a line, a square.
            const qreal from = line.cursorToX(s.after);
            const bool spaceFollows = s.after < b.text().size() && s.after + 1 <= line.textStart() + line.textLength();
            const qreal width = spaceFollows ? std::floor(line.cursorToX(s.after + 1) - from) - 2 : ascent * 2 / 3;
            if (width < 2) continue;
            const qreal x = std::ceil(box.left() + from) + 1;
            const qreal y = box.top() + line.y() + (line.height() - ascent) / 2;
            painter.setPen(Qt::NoPen);
            painter.setBrush(ink);
            painter.drawRect(QRectF(x, y, width, ascent));
            painter.setBrush(QColorOf(s.colour));
            painter.drawRect(QRectF(x + 1, y + 1, width - 2, ascent - 2));
        }
    }
}

void ListingTeacher::PaintWave(QPainter& painter, const QTextBlock& block, const QRectF& box, bool dark) {
    // Under the characters, in the line's descent: a zigzag 2 pixels high
    // drawn 2 pixels thick, so about 4 high; dark red on the light editor (more than 5:1), light red on a
    // dark one.
    painter.setPen(QPen(dark ? QColor(0xff, 0x8a, 0x8a) : QColor(0xb0, 0x00, 0x00), 2));
    painter.setBrush(Qt::NoBrush);
    ForEachRowUnder(block, box, [&](qreal left, qreal right, qreal base) {
        QPainterPath wave(QPointF(left, base + 1));
        for (qreal x = left; x < right; x += 4) {
            wave.lineTo(x + 2, base - 1);
            wave.lineTo(x + 4, base + 1);
        }
        painter.drawPath(wave);
    });
}

void ListingTeacher::PaintDots(QPainter& painter, const QTextBlock& block, const QRectF& box, bool dark) {
    // A warning is told from an error by its shape as well as its colour:
    // a row of square dots, 2 pixels with 2 between, in dark blue on the
    // light editor (more than 7:1), light blue on a dark one.
    painter.setPen(Qt::NoPen);
    painter.setBrush(dark ? QColor(0x8a, 0xc4, 0xff) : QColor(0x00, 0x45, 0x9e));
    ForEachRowUnder(block, box, [&](qreal left, qreal right, qreal base) {
        for (qreal x = left; x < right; x += 4) painter.drawRect(QRectF(x, base - 1, 2, 2));
    });
}

void ListingTeacher::CaretMoved() {
    const int block = editor_->textCursor().blockNumber();
    if (typingBlock_ >= 0 && block != typingBlock_) {
        typingBlock_ = -1;
        refresh_.start();
    }
    if (block != hintBlock_) hintDismissed_ = false;
    if (block != hintLine_) hintLine_ = -1;
    hintBlock_ = block;
    UpdateHint();
    UpdateDescription();
}

void ListingTeacher::UpdateHint() {
    const QTextCursor caret = editor_->textCursor();
    QTextBlock first = caret.block();
    while (ListingEditor::ContinuesLine(first)) first = first.previous();
    // Only on the line being typed: not at start-up, after Open or a run,
    // nor when the caret merely comes onto a line.
    const bool typing = !hintDismissed_ && editor_->hasFocus() && first == caret.block() && caret.blockNumber() == hintLine_;
    const std::u16string hint = typing ? HintAt(Utf16Of(first.text()), caret.positionInBlock()) : std::u16string();
    if (hint.empty()) {
        hint_->hide();
        return;
    }
    hint_->setText(RichHint(hint));
    // Read by assistive tools as the label's name, without the marks.
    hint_->setAccessibleName(QString::fromStdU16String(hint)
                                 .remove(QChar(kHintMarkStart))
                                 .remove(QChar(kHintMarkEnd))
                                 .replace(QLatin1Char('\n'), QLatin1Char(' ')));
    hint_->adjustSize();
    hint_->move(HintPlace(caret, hint_->size()));
    hint_->show();
}

QRectF ListingTeacher::TextBoxOf(const QTextBlock& block, const ShownBlocks& shown) {
    // The rectangle of the line's characters in viewport coordinates, null
    // for a line off the screen or without text.
    for (const auto& [b, box] : shown) {
        if (b != block) continue;
        QRectF text;
        const QTextLayout* layout = b.layout();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            if (line.textLength() == 0) continue;
            text |= QRectF(box.left() + line.x(), box.top() + line.y(), line.naturalTextWidth(), line.height());
        }
        return text;
    }
    return {};
}

QPoint ListingTeacher::HintPlace(const QTextCursor& caret, QSize size) const {
    // The hint covers no character of the caret's line or of the lines
    // above and below it: to the right of their text where the screen has
    // room, else beside the editor's window, else beyond the neighbouring
    // lines; never over the caret's line.
    const QTextBlock block = caret.block();
    const QRect at = editor_->cursorRect(caret);
    const ShownBlocks shown = editor_->ShownBlocks();
    QRectF near = TextBoxOf(block, shown).united(QRectF(at));
    for (const QTextBlock& b : {block.previous(), block.next()})
        if (b.isValid()) near |= TextBoxOf(b, shown);
    QWidget* view = editor_->viewport();
    constexpr int kGap = 8;
    const QRect screen = editor_->screen() ? editor_->screen()->availableGeometry() : QRect();
    // To the right of the text, where it may reach past the editor's edge
    // (over its scroll bar and frame, none of the listing) while it stays
    // on the screen.
    const QPoint right = view->mapToGlobal(
        QPoint(static_cast<int>(std::ceil(near.right())) + kGap, std::max(0, at.top() - (size.height() - at.height()) / 2)));
    if (right.x() + size.width() <= screen.right()) return right;
    const QRect window = editor_->window()->frameGeometry();
    const int y = view->mapToGlobal(at.topLeft()).y();
    if (window.right() + kGap + size.width() <= screen.right()) return {window.right() + kGap, y};
    if (window.left() - kGap - size.width() >= screen.left()) return {window.left() - kGap - size.width(), y};
    // No room beside: under the line below, or over the line above.
    const int below = static_cast<int>(std::ceil(near.bottom())) + 2;
    if (below + size.height() <= view->height()) return view->mapToGlobal(QPoint(at.left(), below));
    return view->mapToGlobal(QPoint(at.left(), static_cast<int>(near.top()) - 2 - size.height()));
}

void ListingTeacher::UpdateDescription() {
    // A run's error stays the editor's description until the next edit.
    if (editor_->MarkedErrorLine() != 0) return;
    const QString tip = TipOf(editor_->textCursor().block());
    if (editor_->accessibleDescription() != tip) editor_->setAccessibleDescription(tip);
}

bool ListingTeacher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_->viewport() && event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = TipOf(editor_->cursorForPosition(help->pos()).block());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, editor_->viewport());
        return true;
    }
    // From the mouse the viewport gets it, from the keyboard the editor.
    if ((watched == editor_->viewport() || watched == editor_) && event->type() == QEvent::ContextMenu) {
        ShowContextMenu(*static_cast<QContextMenuEvent*>(event));
        return true;
    }
    if (watched == editor_) {
        if (event->type() == QEvent::FocusOut) hint_->hide();
        if (event->type() == QEvent::FocusIn) UpdateHint();
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            hint_->isVisible()) {
            hintDismissed_ = true;
            hint_->hide();
            return true;
        }
    }
    return false;
}

}  // namespace kuv
