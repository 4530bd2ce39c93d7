// kelvo on Linux: the window on Qt Widgets. The arguments joined by blanks are the
// argument text whose first character chooses the group the window opens with.
//
// With KELVO_SCREENSHOT=<file> the window is drawn into <file> (PNG) as soon as it is up
// and the program ends: a picture of the window on a machine without a display.

#include <QStringList>

#include <cstdio>
#include <string>

#include "app/figure_app.h"
#include "platform/codepage.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_window.h"

int main(int argc, char** argv) {
    kelvo::platform::qt::QtApplication application(argc, argv);
    // Without its own name and the options Qt took for itself.
    const QString arguments = QApplication::arguments().mid(1).join(QLatin1Char(' '));
    const std::string argumentText = kelvo::platform::Utf8ToAnsi(arguments.toStdString());

    kelvo::platform::qt::QtFrontEnd frontEnd;
    int status = 0;
    const QString picture = qEnvironmentVariable("KELVO_SCREENSHOT");
    if (!picture.isEmpty()) {
        frontEnd.SetShownHook([&](kelvo::platform::qt::QtWindow& window) {
            if (window.grab().save(picture, "PNG")) {
                std::printf("%s\n", picture.toLocal8Bit().constData());
            } else {
                std::fprintf(stderr, "kelvo: cannot write %s\n", picture.toLocal8Bit().constData());
                status = 1;
            }
            window.EndDialog(kelvo::platform::kIdCancel);
        });
    }
    kelvo::app::FigureApp().InitInstance(frontEnd, argumentText);
    return status;
}
