// kuv-render: the batch renderer. Text needs Qt's font machinery but no
// display, so it runs on the offscreen platform unless told otherwise.
#include "Render.h"

#include <QGuiApplication>

#include <iostream>

namespace {
// Qt's own notes (about the session, the runtime folder ...) are not the
// renderer's output: a clean run prints nothing.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << "\n";
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    return kuv::RenderMain(args, std::cin, std::cout, std::cerr);
}
