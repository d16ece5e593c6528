// What the Discover data of a tree costs to store: scans FOLDER as drive C:
// and prints the bytes of each extra file a drive scan stores with its set.
// Usage: cq_discover_bytes FOLDER
#include <cstdio>
#include <string>

#include "engine/AnalizeDisk.h"
#include "platform/DriveTable.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cq_discover_bytes FOLDER\n");
        return 2;
    }
    TScopedDriveTable table(TDriveTable({TDrive{'C', argv[1]}}));
    TAnalizeDisk analyzer;
    analyzer.Directory = "C:\\";
    analyzer.Recurse = true;
    analyzer.Execute();
    for (const auto& [role, lines] : analyzer.TakeExtras()) {
        std::size_t bytes = 0;
        for (std::string_view line : lines)
            bytes += line.size() + 2;  // stored with CR LF
        std::printf("%s: %zu lines, %zu bytes\n", role.c_str(), lines.size(), bytes);
    }
    return 0;
}
