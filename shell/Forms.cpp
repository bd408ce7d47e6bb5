#include "Forms.h"

#include "AboutUnit1.h"
#include "ErrorUnit1.h"
#include "GraphUnit1.h"
#include "MainUnit2.h"

namespace kuv {

Forms CreateForms() {
    Forms f{};
    f.FormM = new TFormM;
    f.FormG = new TFormG;
    f.FormG->show();
    f.FormA = new TFormA;
    f.FormE = new TFormE;
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
