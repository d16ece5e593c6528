// cobaltquarry-scan: measures one folder tree from the command line.
#include <iostream>

#include "platform/Console.h"
#include "tools/scan/ScanCommand.h"

int main(int argc, char** argv) {
    static TScanCommand command;
    CancelOnInterrupt(&command.Cancel());
    return command.Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
