// kelvo-cli's PDF writer on Qt Gui, a module the program loads only when asked for a PDF:
// linked into the program, Qt Gui and what it brings tripled the start-up of every run
// (a figure in 12.7 ms instead of 3.9 ms), PDF or not.

#include <QGuiApplication>

#include <cstdio>
#include <memory>

#include "platform/qt/qt_page_canvas.h"

extern "C" __attribute__((visibility("default"))) bool KelvoRenderPdf(const kelvo::platform::PageLayout& layOut,
                                                                      std::string& bytes, std::string& message) {
    namespace platform = kelvo::platform;
    // Fonts need a Gui application; a script has no display, and the offscreen platform
    // measures and embeds the same fonts as a window's would.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes on its own set-up (no runtime directory, say) are not the script's business.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "kelvo-cli: %s\n", qPrintable(text));
    });
    static int argc = 1;
    static char name[] = "kelvo-cli";
    static char* argv[] = {name, nullptr};
    static const auto application = std::make_unique<QGuiApplication>(argc, argv);
    if (platform::qt::RenderPdf(layOut, bytes)) return true;
    message = "страницы PDF не нарисованы";
    return false;
}
