// kuv-render: the batch renderer. Text needs Qt's font machinery but no
// display, so it runs on the offscreen platform unless told otherwise.
#include "Render.h"

#include <QGuiApplication>

#include <iostream>

#include <malloc.h>

namespace {
// Qt's own notes (about the session, the runtime folder ...) are not the
// renderer's output: a clean run prints nothing.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}
}  // namespace

int main(int argc, char** argv) {
    // A batch makes several pictures of 1.2 MB for every listing (the
    // Picture, its owners, the difference picture). Left to itself, the C
    // library hands each back to the kernel and the next one faults in
    // fresh pages: a quarter of a batch's time with --answer.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return kuv::RenderMain(args, std::cin, std::cout, std::cerr);
}
