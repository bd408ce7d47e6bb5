// 絵の説明: the Picture in words, one row per statement the last run drew,
// in listing order; opened from the Picture's context menu, modeless, and
// brought up to date after every run.
#pragma once

#include "language/Description.h"

#include <QWidget>

#include <functional>

class QLabel;
class QListWidget;

namespace kuv {

class DescriptionWindow : public QWidget {
public:
    // choose: a row was chosen, with the line it describes.
    DescriptionWindow(std::function<void(int line)> choose, QWidget* parent);
    void Show(const Description& description);

    QLabel* Summary;
    QListWidget* Items;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    // Each row as tall as its words wrapped to the list's width.
    void FitRows();
    std::function<void(int)> choose_;
};

}  // namespace kuv
