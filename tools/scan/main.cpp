// cobaltquarry-scan: measures one folder tree from the command line. It
// links no GUI library, so it starts fast; a run that asks for a picture is
// handed, whole, to cobaltquarry-scan-draw.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "platform/CompanionProgram.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanCommand.h"
#include "tools/scan/ScanMain.h"

int main(int argc, char** argv) {
    static TScanCommand command;
    command.SetPictureHandOff([argv] {
        std::string error;
        RunCompanionInstead("cobaltquarry-scan-draw", argv, error);
        PrintMessage(std::cerr, error);
        return TScanExit::kFailed;
    });
    // Everything is written, flushed and renamed by then; what is left is
    // memory, which the system takes back at once.
    command.SetScanFinished([](int status) {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        std::_Exit(status);
    });
    return ScanMain(command, argc, argv);
}
