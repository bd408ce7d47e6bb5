// KUV: the desktop program. It takes one optional argument, a listing to
// open, and stores no settings.
#include "shell/CommandLine.h"
#include "shell/Forms.h"
#include "shell/MainUnit2.h"
#include "shell/Paths.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QSessionManager>
#include <QTimer>
#include <QTranslator>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <new>
#include <thread>

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

// SIGTERM and SIGHUP end the program and keep a changed listing. The
// handler only writes the signal's number into a pipe; a thread of its own
// reads it and asks the event loop to keep the listing and end. A command
// that holds the event loop cannot hold the signal up: when the loop does
// not answer within kStopWaitMs, the thread keeps the listing as it was
// when that command began and ends the program itself.
constexpr int kStopWaitMs = 3000;
int stopPipe[2] = {-1, -1};
std::atomic<int> stopCode{0};
// Cleared before the windows go: a signal after that finds nothing to keep.
std::atomic<bool> windowsAlive{true};

void OnStopSignal(int signal) {
    const char number = static_cast<char>(signal);
    const ssize_t written = ::write(stopPipe[1], &number, 1);
    (void)written;
}

void WatchStopSignals(kuv::TFormM* main) {
    if (::pipe2(stopPipe, O_CLOEXEC) != 0) return;
    std::thread([main] {
        char number = 0;
        while (::read(stopPipe[0], &number, 1) != 1) {
            if (errno != EINTR) return;
        }
        const int code = 128 + number;
        stopCode = code;
        auto answered = std::make_shared<std::promise<void>>();
        std::future<void> done = answered->get_future();
        QMetaObject::invokeMethod(
            main,
            [main, code, answered] {
                main->RecoverUnsavedListing();
                answered->set_value();
                QCoreApplication::exit(code);
            },
            Qt::QueuedConnection);
        if (done.wait_for(std::chrono::milliseconds(kStopWaitMs)) == std::future_status::ready) return;
        if (windowsAlive) main->RecoverSnapshot();
        std::_Exit(code);
    }).detach();
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

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
    WatchStopSignals(forms.FormM);
    forms.FormM->show();
    // Opened from the running event loop, so that its error box is part of
    // the program's life like any command's.
    if (!program.file.isEmpty())
        QTimer::singleShot(0, forms.FormM, [&forms, &program] { forms.FormM->OpenFile(program.file); });
    const int code = app.exec();
    app.outOfMemory = nullptr;
    windowsAlive = false;
    kuv::DestroyForms(forms);
    // A signal that ended the program says so, even when a dialog it broke
    // off (the Save As offered on closing) then finished the close itself.
    return stopCode != 0 ? stopCode.load() : code;
}
