#include "Forms.h"

#include "AboutUnit1.h"
#include "ErrorUnit1.h"
#include "GraphUnit1.h"
#include "MainUnit2.h"

#include <QGuiApplication>
#include <QScreen>

namespace kuv {

Scaling DesktopScaling() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return Scaling{screen ? qRound(screen->logicalDotsPerInchY()) : 96};
}

Forms CreateForms() {
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
