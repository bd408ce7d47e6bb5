// The Picture as it stood after each line of the last run, for the
// graphics window's view that follows the caret and for its replay. A copy
// of the Picture is kept every so many lines (a dozen copies in all, so
// memory stays small for any listing); the lines after the nearest copy are
// run again, and the last Picture asked for is kept, so that moving line by
// line costs one line's drawing.
#pragma once

#include "Listing.h"
#include "picture/Picture.h"

#include <memory>
#include <vector>

namespace kuv {

// How a replay of a run of lines moves: about eight lines a second, and
// done within ten seconds; a beat every intervalMs, step lines a beat.
struct ReplaySchedule {
    int intervalMs;
    int step;
};
ReplaySchedule ReplayScheduleFor(int lines);
// How long the last stage of a replay stays before the full Picture returns.
inline constexpr int kReplayLastStageMs = 600;
// How long each beat of a stage's blinking lasts.
inline constexpr int kBlinkMs = 400;

// A stage as shown on one beat of its blinking, into out (kWidth x kHeight
// pixels, rows from the top): the pixels that line painted in their
// highlight (HighlightFor) when highlighted, in their own colour otherwise.
// Line 0, or a stage without owners, marks nothing.
void StageFrame(const Picture& stage, Owner line, bool highlighted, Pixel* out);

class RunHistory {
public:
    // A run of count lines has just cleared the Picture.
    void Begin(int count, const Picture& cleared);
    // Line (1-based) has run and drawn into picture.
    void AfterLine(int line, const Picture& picture);
    // The last line that ran; 0 before any.
    int LastLine() const { return last_; }
    bool Empty() const { return kept_.empty(); }
    void Clear();

    // The Picture just after line ran (0: as the run's clear left it; a
    // line past the last that ran: the run's last Picture). The reference
    // holds until the next call.
    const Picture& PictureAfter(int line, const Listing& rewritten);

private:
    struct Kept {
        int line;
        std::shared_ptr<const Picture> picture;
    };
    int interval_ = 1;
    int last_ = 0;
    std::vector<Kept> kept_;
    Picture stage_;
    int stageLine_ = -1;
};

}  // namespace kuv
