#include "RunStages.h"

#include "GraphUnit1.h"
#include "ListingEditor.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>

namespace kuv {

RunStages::RunStages(ListingEditor* editor, QWidget* listingWindow)
    : QObject(listingWindow), editor_(editor), listingWindow_(listingWindow), replayTimer_(new QTimer(this)) {
    connect(replayTimer_, &QTimer::timeout, this, [this] { ReplayStep(); });
}

void RunStages::RunDrew(Listing listing) {
    paintedBy_ = std::move(listing);
    runRevision_ = editor_->document()->revision();
}

void RunStages::Forget() {
    EndStages();
    history_.Clear();
    paintedBy_.reset();
}

Owner RunStages::OwnerOf(int x, int y) const {
    return paintedBy_ && formG_ ? formG_->GetPicture().OwnerAt(x, Picture::RowOf(y)) : 0;
}

bool RunStages::ListingUnchanged() const { return paintedBy_ && editor_->document()->revision() == runRevision_; }

bool RunStages::CanShowStages() const { return ListingUnchanged() && !history_.Empty(); }

bool RunStages::Showing() const { return followCaret_ || replayTimer_->isActive(); }

void RunStages::SetFollowCaret(bool on) {
    EndStages();
    followCaret_ = on && CanShowStages();
    if (followCaret_) ShowCaretStage();
}

void RunStages::CaretMoved() {
    if (followCaret_) ShowCaretStage();
}

void RunStages::ShowCaretStage() {
    if (!CanShowStages()) return EndStages();
    // The listing is the run's own rewritten listing: its lines are the
    // run's lines.
    const int line = editor_->CaretLineNumber();
    const Picture& stage = history_.PictureAfter(line, *paintedBy_);
    formG_->Image1->ShowStage(&stage, static_cast<Owner>(std::min(line, history_.LastLine())));
}

void RunStages::EndStages() {
    followCaret_ = false;
    replayTimer_->stop();
    qApp->removeEventFilter(this);
    if (replayLine_ > 0) {
        replayLine_ = 0;
        editor_->ShowReplayLine(0);
    }
    if (formG_ && formG_->Image1->ShowsStage()) formG_->Image1->ShowStage(nullptr, 0);
}

void RunStages::Replay() {
    if (!CanShowStages()) return;
    EndStages();
    const ReplaySchedule schedule = ReplayScheduleFor(history_.LastLine());
    replayStep_ = schedule.step;
    replayLine_ = 0;
    qApp->installEventFilter(this);
    replayTimer_->start(schedule.intervalMs);
    ReplayStep();
}

void RunStages::ReplayStep() {
    replayLine_ = std::min(replayLine_ + replayStep_, history_.LastLine());
    formG_->Image1->ShowStage(&history_.PictureAfter(replayLine_, *paintedBy_), static_cast<Owner>(replayLine_));
    editor_->ShowReplayLine(replayLine_);
    if (replayLine_ >= history_.LastLine()) {
        replayTimer_->stop();
        qApp->removeEventFilter(this);
        // The last stage stays a moment, then the full Picture returns.
        QTimer::singleShot(kReplayLastStageMs, this, [this] {
            if (!replayTimer_->isActive() && replayLine_ > 0) EndStages();
        });
    }
}

bool RunStages::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonPress) return false;
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget->window() != listingWindow_ && widget->window() != formG_)) return false;
    EndStages();
    return true;
}

}  // namespace kuv
