#include "platform/qt/qt_application.h"

#include <QLibraryInfo>
#include <QLocale>

#include <clocale>

namespace kelvo::platform::qt {

QtApplication::QtApplication(int& argc, char** argv) : QApplication(argc, argv) {
    std::setlocale(LC_NUMERIC, "C");
    // The window speaks Russian whatever the desktop's language: Qt's own file, print and
    // message dialogs too. Without the translation installed they stay in English.
    if (translator_.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&translator_);
}

}  // namespace kelvo::platform::qt
