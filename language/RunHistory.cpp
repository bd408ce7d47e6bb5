#include "RunHistory.h"

#include "Runner.h"
#include "picture/Highlight.h"

#include <algorithm>

namespace kuv {
namespace {

constexpr int kKeptPictures = 12;
// Fewer lines than this between copies cost more memory than drawing them.
constexpr int kLeastInterval = 64;

}  // namespace

ReplaySchedule ReplayScheduleFor(int lines) {
    constexpr int kSlowMs = 125, kWholeMs = 10000, kFastestMs = 20;
    lines = std::max(1, lines);
    const int interval = std::max(kFastestMs, std::min(kSlowMs, kWholeMs / lines));
    // Lines a beat, rounded up, so that the last beat comes within the whole.
    const int step = static_cast<int>(std::max<long long>(1, (static_cast<long long>(lines) * interval + kWholeMs - 1) / kWholeMs));
    return {interval, step};
}

void StageFrame(const Picture& stage, Owner line, bool highlighted, Pixel* out) {
    const std::size_t n = std::size_t{Picture::kWidth} * Picture::kHeight;
    const Pixel* p = stage.Pixels();
    std::copy(p, p + n, out);
    if (!highlighted || line == 0 || !stage.RecordsOwners()) return;
    const Owner* owners = stage.Owners().data();
    for (std::size_t i = 0; i < n; ++i)
        if (owners[i] == line) out[i] = HighlightFor(p[i]);
}

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
