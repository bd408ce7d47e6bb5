// KUV: the desktop program. It takes no arguments and stores no settings.
#include "shell/Forms.h"
#include "shell/MainUnit2.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    // The windows are laid out in device pixels, and the graphics window must
    // show the picture pixel for pixel: Qt is not to scale them itself.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    // The interface is Japanese whatever the locale: Qt's own dialogs too,
    // where Qt's translations are installed.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtJapanese);
    kuv::Forms forms = kuv::CreateForms();
    forms.FormM->show();
    const int code = app.exec();
    kuv::DestroyForms(forms);
    return code;
}
