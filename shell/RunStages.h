// What the last run leaves for the Picture's aids: the rewritten listing
// that drew the Picture, what it drew after each line, and the views of it
// that the graphics window shows in place of the Picture (the stage of the
// caret's line, the replay). Owned by the main window.
#pragma once

#include "language/Listing.h"
#include "language/RunHistory.h"
#include "picture/Picture.h"

#include <QObject>

#include <optional>

class QTimer;
class QWidget;

namespace kuv {

class ListingEditor;
class TFormG;

class RunStages : public QObject {
public:
    // listingWindow: the window whose keys and clicks, with the graphics
    // window's, end a replay.
    RunStages(ListingEditor* editor, QWidget* listingWindow);
    void SetGraphicsWindow(TFormG* formG) { formG_ = formG; }

    // What a run records into.
    RunHistory& History() { return history_; }
    // A run drew the Picture from its first line; listing is its rewritten
    // listing, which the editor now shows.
    void RunDrew(Listing listing);
    // The Picture was cleared: its lines are gone.
    void Forget();

    // The rewritten listing that drew the Picture; null before a run and
    // after Clear.
    const Listing* PaintedBy() const { return paintedBy_ ? &*paintedBy_ : nullptr; }
    // The line of that listing that last painted a KUV point; 0 for none.
    Owner OwnerOf(int x, int y) const;
    // The editor still holds that run's listing as it left it.
    bool ListingUnchanged() const;
    bool CanShowStages() const;

    bool FollowsCaret() const { return followCaret_; }
    void SetFollowCaret(bool on);
    // The caret moved: the stage follows it while asked.
    void CaretMoved();
    void Replay();
    // Back to the full Picture: following and any replay end.
    void EndStages();
    bool Showing() const;

protected:
    // While a replay runs: any key or click in the listing's or the
    // Picture's window ends it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowCaretStage();
    void ReplayStep();

    ListingEditor* editor_;
    QWidget* listingWindow_;
    TFormG* formG_ = nullptr;
    std::optional<Listing> paintedBy_;
    RunHistory history_;
    // The editor's revision right after that run.
    int runRevision_ = -1;
    bool followCaret_ = false;
    QTimer* replayTimer_;
    int replayLine_ = 0;
    int replayStep_ = 1;
};

}  // namespace kuv
