// Start-up: the four windows, created in their fixed order.
#pragma once

#include "Scaling.h"

namespace kuv {

class TFormA;
class TFormE;
class TFormG;
class TFormM;

struct Forms {
    TFormM* FormM;
    TFormG* FormG;
    TFormA* FormA;
    TFormE* FormE;
};

// Creates FormM (the main window), FormG (shown at once), FormA and FormE
// (hidden). The main window is not shown yet. The caller owns the windows.
// The scaling of the primary screen's logical resolution.
Scaling DesktopScaling();

Forms CreateForms();
void DestroyForms(Forms& forms);

}  // namespace kuv
