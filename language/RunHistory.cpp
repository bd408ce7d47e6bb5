#include "RunHistory.h"

#include "Runner.h"

#include <algorithm>

namespace kuv {
namespace {

constexpr int kKeptPictures = 12;
// Fewer lines than this between copies cost more memory than drawing them.
constexpr int kLeastInterval = 64;

}  // namespace

void RunHistory::Begin(int count, const Picture& cleared) {
    Clear();
    interval_ = std::max(kLeastInterval, count / kKeptPictures + 1);
    kept_.push_back({0, std::make_shared<const Picture>(cleared)});
}

void RunHistory::AfterLine(int line, const Picture& picture) {
    last_ = line;
    if (line % interval_ == 0) kept_.push_back({line, std::make_shared<const Picture>(picture)});
}

void RunHistory::Clear() {
    kept_.clear();
    last_ = 0;
    stageLine_ = -1;
}

const Picture& RunHistory::PictureAfter(int line, const Listing& rewritten) {
    line = std::clamp(line, 0, last_);
    if (stageLine_ < 0 || line < stageLine_ || line - stageLine_ > interval_) {
        // The nearest copy at or before the line.
        const auto copy = std::prev(std::upper_bound(kept_.begin(), kept_.end(), line,
                                                     [](int l, const Kept& k) { return l < k.line; }));
        stage_ = *copy->picture;
        stageLine_ = copy->line;
    }
    RunLines(rewritten, stage_, stageLine_, line);
    stageLine_ = line;
    return stage_;
}

}  // namespace kuv
