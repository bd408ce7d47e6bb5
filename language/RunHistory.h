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
