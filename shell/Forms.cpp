#include "Forms.h"

#include "AboutUnit1.h"
#include "ErrorUnit1.h"
#include "GraphUnit1.h"
#include "MainUnit2.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QScreen>

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
    Forms f{};
    f.FormM = new TFormM(scale);
    f.FormG = new TFormG;
    f.FormG->show();
    f.FormA = new TFormA;
    f.FormE = new TFormE(scale);
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
