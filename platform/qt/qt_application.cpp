#include "platform/qt/qt_application.h"

#include <clocale>

namespace kelvo::platform::qt {

QtApplication::QtApplication(int& argc, char** argv) : QApplication(argc, argv) {
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace kelvo::platform::qt
