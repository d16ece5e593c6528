// cobaltquarry-scan: measures one folder tree from the command line.
#include <iostream>
#include <new>

#include "platform/Console.h"
#include "tools/scan/ReportText.h"
#include "tools/scan/ScanCommand.h"

int main(int argc, char** argv) {
    static TScanCommand command;
    CancelOnInterrupt(&command.Cancel());
    // Memory running out is told as a failure, not an abort; the helper
    // threads of a walk or an export hand theirs to this one.
    try {
        return command.Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        PrintMessage(std::cerr, "there is not enough memory");
        return TScanExit::kFailed;
    }
}
