// KUV: the desktop program. It takes one optional argument, a listing to
// open or a link of one, and stores no settings.
#include "shell/CommandLine.h"
#include "shell/Forms.h"
#include "shell/MainUnit2.h"
#include "shell/Paths.h"
#include "shell/StopSignals.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <functional>
#include <memory>
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
    // The command line first: --help and --version need no display.
    QStringList args;
    // A file name is used exactly as given, whatever its bytes.
    for (int i = 1; i < argc; ++i) args << kuv::PathFromNative(argv[i]);
    const kuv::ProgramArgs program = kuv::ParseProgramArgs(args);
    switch (program.action) {
        case kuv::ProgramArgs::Action::Help: std::fputs(qPrintable(kuv::ProgramHelpText()), stdout); return 0;
        case kuv::ProgramArgs::Action::Version: std::fputs(qPrintable(kuv::ProgramVersionText()), stdout); return 0;
        case kuv::ProgramArgs::Action::Usage:
            std::fprintf(stderr, "kuv: %s\n%s", qPrintable(program.problem), qPrintable(kuv::ProgramUsageText()));
            return 2;
        case kuv::ProgramArgs::Action::Start: break;
    }

    // The windows are laid out in device pixels, and the graphics window must
    // show the picture pixel for pixel: Qt is not to scale them itself.
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    int qtArgc = 1;
    Application app(qtArgc, argv);
    // The interface is Japanese whatever the locale: Qt's own dialogs too,
    // where Qt's translations are installed.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtJapanese);
    kuv::Forms forms = kuv::CreateForms();
    app.outOfMemory = [&forms] { forms.FormM->ShowOutOfMemory(); };
    // The program may end without its close: keep a changed listing first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&forms](QSessionManager&) { forms.FormM->RecoverUnsavedListing(); });
    kuv::WatchStopSignals(forms.FormM);
    forms.FormM->show();
    // Opened from the running event loop, so that its error box is part of
    // the program's life like any command's.
    if (!program.file.isEmpty())
        QTimer::singleShot(0, forms.FormM, [&forms, &program] { forms.FormM->OpenFile(program.file); });
    if (!program.link.isEmpty())
        QTimer::singleShot(0, forms.FormM, [&forms, &program] { forms.FormM->OpenLink(program.link); });
    const int code = app.exec();
    app.outOfMemory = nullptr;
    kuv::WindowsGone();
    kuv::DestroyForms(forms);
    // A signal that ended the program says so, even when a dialog it broke
    // off (the Save As offered on closing) then finished the close itself.
    return kuv::StopCode() != 0 ? kuv::StopCode() : code;
}
