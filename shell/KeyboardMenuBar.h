// The main window's menu bar as the keyboard reaches it.
#pragma once

#include <QMenuBar>
#include <QPointer>

namespace kuv {

// The main window's menu bar: F10 selects its first entry from the
// keyboard, as Alt pressed and released alone does, and the keyboard goes
// back where it was once the bar lets it go.
class KeyboardMenuBar : public QMenuBar {
public:
    explicit KeyboardMenuBar(QWidget* parent);
    void SelectFirstEntry();

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void ReturnFocus();
    QPointer<QWidget> returnTo_;
};

}  // namespace kuv
