// cobaltquarry-scan: measures one folder tree from the command line. It
// links no GUI library, so it starts fast; a run that asks for a picture is
// handed, whole, to cobaltquarry-scan-draw.
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
    return ScanMain(command, argc, argv);
}
