#include "Forms.h"

#include "AboutUnit1.h"
#include "ErrorUnit1.h"
#include "GraphUnit1.h"
#include "MainUnit2.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace kuv {
namespace {

// Assistive technology sees every window as a window: the graphics and
// error windows as frames, the about window as a dialog. Plain widgets
// would otherwise show up as fillers, which screen readers do not announce.
QAccessibleInterface* WindowAccessible(const QString&, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (dynamic_cast<TFormG*>(widget) || dynamic_cast<TFormE*>(widget))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (dynamic_cast<TFormA*>(widget)) return new QAccessibleWidget(widget, QAccessible::Dialog);
    // The Picture is an image, with its name and, for the point under the
    // crosshair or the pointer, the tooltip's text as its description.
    if (dynamic_cast<PictureView*>(widget)) return new QAccessibleWidget(widget, QAccessible::Graphic);
    return nullptr;
}

}  // namespace

Scaling DesktopScaling() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return Scaling{screen ? qRound(screen->logicalDotsPerInchY()) : 96};
}

Forms CreateForms() {
    static const bool accessible = (QAccessible::installFactory(WindowAccessible), true);
    (void)accessible;
    const Scaling scale = DesktopScaling();
    // Every window is placed here, at its place for 96 dots per inch scaled
    // to the desktop.
    Forms f{};
    f.FormM = new TFormM(scale);
    f.FormG = new TFormG(scale.PictureZoom());
    f.FormG->move(scale.Point(19, 181));
    // The main window stays clear of the graphics window, which grows by a
    // whole factor and may outgrow the scaled gap between them.
    const int gap = scale.Px(745 - 19 - Picture::kWidth);
    f.FormM->move(std::max(scale.Px(745), f.FormG->x() + f.FormG->width() + gap), scale.Px(96));
    f.FormG->show();
    f.FormA = new TFormA(scale);
    f.FormA->move(scale.Point(554, 423));
    f.FormE = new TFormE(scale);
    f.FormE->move(scale.Point(315, 214));
    f.FormM->SetWindows(f.FormG, f.FormA, f.FormE);
    return f;
}

void DestroyForms(Forms& f) {
    delete f.FormE;
    delete f.FormA;
    delete f.FormG;
    delete f.FormM;
    f = {};
}

}  // namespace kuv
