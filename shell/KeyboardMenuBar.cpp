#include "KeyboardMenuBar.h"

#include <QApplication>
#include <QKeyEvent>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>

#include <utility>

namespace kuv {

namespace {

// Draws the entry that the keyboard selected in a menu bar as highlighted:
// Qt's Fusion style highlights an entry only while its menu is open, so
// Alt alone would select the first entry and show nothing.
class KeyboardMenuBarStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && widget && widget->hasFocus() && (item->state & State_Selected)) {
            QStyleOptionMenuItem selected(*item);
            selected.state |= State_Sunken;
            return QProxyStyle::drawControl(element, &selected, painter, widget);
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

}  // namespace

KeyboardMenuBar::KeyboardMenuBar(QWidget* parent) : QMenuBar(parent) {
    auto* style = new KeyboardMenuBarStyle;
    style->setParent(this);
    setStyle(style);
    // A command chosen from the keyboard runs with the keyboard back where
    // it was, in the listing.
    connect(this, &QMenuBar::triggered, this, [this] {
        if (hasFocus()) ReturnFocus();
    });
}

void KeyboardMenuBar::SelectFirstEntry() {
    if (actions().isEmpty()) return;
    QWidget* focus = QApplication::focusWidget();
    if (focus != this) returnTo_ = focus;
    // With the keyboard here, not in the listing, an entry without a menu
    // (描画実行) takes Enter, and no key reaches the listing.
    setFocus(Qt::MenuBarFocusReason);
    setActiveAction(actions().first());
}

void KeyboardMenuBar::keyPressEvent(QKeyEvent* e) {
    QMenuBar::keyPressEvent(e);
    if (!activeAction() && hasFocus()) ReturnFocus();
}

void KeyboardMenuBar::ReturnFocus() {
    if (QWidget* to = std::exchange(returnTo_, nullptr)) to->setFocus(Qt::MenuBarFocusReason);
}

}  // namespace kuv
