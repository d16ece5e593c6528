// The desktop program: the application object with its exception report, and
// the main window.
#include "app/desktop/AppIcon.h"
#include "app/main/FormMain.h"
#include "app/reporter/ExceptionReporter.h"

int main(int argc, char** argv) {
    TCobaltApplication app(argc, argv);
    QApplication::setApplicationName("Cobaltquarry");
    QApplication::setApplicationDisplayName("Cobaltquarry");
    QApplication::setDesktopFileName("cobaltquarry");
    QApplication::setWindowIcon(AppIcon());

    TFormMain window;
    window.show();
    return QApplication::exec();
}
