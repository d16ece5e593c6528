// The desktop program: the application object with its exception report and
// the program's windows.
#include "app/main/FormMain.h"
#include "app/main/Program.h"
#include "app/reporter/ExceptionReporter.h"

int main(int argc, char** argv) {
    TCobaltApplication app(argc, argv);
    cq::app::SetProgramIdentity();
    cq::app::TProgram program;
    program.Window().show();
    return QApplication::exec();
}
