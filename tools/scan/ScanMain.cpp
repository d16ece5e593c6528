#include "tools/scan/ScanMain.h"

#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "platform/Console.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanCommand.h"

int ScanMain(TScanCommand& command, int argc, char** argv) {
    CancelOnInterrupt(&command.Cancel());
    // The helper threads of a walk or an export hand their memory failures
    // to this one.
    try {
        return command.Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        PrintMessage(std::cerr, "there is not enough memory");
        return TScanExit::kFailed;
    }
}
