// KUV: the desktop program. It takes no arguments and stores no settings.
#include "shell/Forms.h"
#include "shell/MainUnit2.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <functional>
#include <new>

namespace {

// Memory can run out in any event, a paste of a huge text among them: the
// error box, instead of the end of the program and of the listing.
class Application : public QApplication {
public:
    using QApplication::QApplication;
    std::function<void()> outOfMemory;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::bad_alloc&) {
            if (outOfMemory) outOfMemory();
            return true;
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    // The windows are laid out in device pixels, and the graphics window must
    // show the picture pixel for pixel: Qt is not to scale them itself.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    Application app(argc, argv);
    // The interface is Japanese whatever the locale: Qt's own dialogs too,
    // where Qt's translations are installed.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtJapanese);
    kuv::Forms forms = kuv::CreateForms();
    app.outOfMemory = [&forms] { forms.FormM->ShowOutOfMemory(); };
    forms.FormM->show();
    const int code = app.exec();
    app.outOfMemory = nullptr;
    kuv::DestroyForms(forms);
    return code;
}
