#pragma once
// The application object of the Qt front end.

#include <QApplication>
#include <QTranslator>

namespace kelvo::platform::qt {

// A QApplication that leaves the C library's numbers alone. QApplication sets the whole
// C locale from the environment; under a Russian one atof stops at the '.' of "30.5"
// in the feature tables and "%0.1f" writes a comma into the results and table.txt.
class QtApplication : public QApplication {
public:
    QtApplication(int& argc, char** argv);

private:
    QTranslator translator_;
};

}  // namespace kelvo::platform::qt
