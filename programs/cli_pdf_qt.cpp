#include <QGuiApplication>

#include <cstdio>
#include <memory>

#include "platform/qt/qt_page_canvas.h"
#include "programs/cli_pdf.h"

namespace kelvo::programs {

bool RenderPdf(const platform::PageLayout& layOut, std::string& bytes, std::string& message) {
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

}  // namespace kelvo::programs
