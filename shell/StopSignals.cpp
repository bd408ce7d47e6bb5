#include "StopSignals.h"

#include "MainUnit2.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

namespace kuv {
namespace {

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

}  // namespace

void WatchStopSignals(TFormM* main) {
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

void WindowsGone() { windowsAlive = false; }

int StopCode() { return stopCode.load(); }

}  // namespace kuv
