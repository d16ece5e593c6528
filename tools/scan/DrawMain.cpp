// cobaltquarry-scan-draw: cobaltquarry-scan with the drawing code linked
// in, which cobaltquarry-scan runs in its place for --pie and --treemap. It
// takes every option cobaltquarry-scan takes.
#include <memory>

#include "tools/scan/ScanCommand.h"
#include "tools/scan/ScanDrawing.h"
#include "tools/scan/ScanMain.h"

int main(int argc, char** argv) {
    static TScanCommand command;
    command.SetPictures(std::make_unique<TScanDrawing>());
    return ScanMain(command, argc, argv);
}
