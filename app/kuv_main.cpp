// KUV: the desktop program. It takes no arguments and stores no settings.
#include "shell/Forms.h"
#include "shell/MainUnit2.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    kuv::Forms forms = kuv::CreateForms();
    forms.FormM->show();
    const int code = app.exec();
    kuv::DestroyForms(forms);
    return code;
}
