// The Qt tests run without a display: gtest_discover_tests starts this binary while the
// project builds, before any test environment applies, so the platform is chosen here.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "platform/qt/qt_application.h"

namespace {

QtMessageHandler qtDefault = nullptr;

// The offscreen platform says for every window what it leaves out, and Qt that a build
// machine has no runtime directory; none of it matters to the tests.
void DropOffscreenNotices(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("This plugin does not support")) ||
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtDefault(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefault = qInstallMessageHandler(DropOffscreenNotices);
    kelvo::platform::qt::QtApplication application(argc, argv);
    // The windows the tests run remember their size: in a folder of this run, not the user's.
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
