#include "tools/scan/ScanOptions.h"

#include <cstdlib>

namespace {

bool ReadCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

}  // namespace

std::string ScanUsage() {
    return "usage: cobaltquarry-scan [--top N] [--json] [--out DIR] [--save] [--pie FILE]\n"
           "                         PATH\n"
           "Measures the folder PATH and everything below it.\n"
           "  --top N     list the N largest subfolders (default 20)\n"
           "  --json      print the report as JSON\n"
           "  --out DIR   also write the result lists XDirs, XDirSizes and XPercents\n"
           "              (X: the drive letter of PATH) into DIR\n"
           "  --save      store the results as the desktop program does\n"
           "  --pie FILE  draw the pie chart of PATH into the PNG file FILE\n"
           "  -h, --help  show this help\n";
}

bool ParseScanOptions(const std::vector<std::string>& args, TScanOptions& options,
                      std::string& error) {
    bool pathSeen = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            options.Help = true;
            return true;
        } else if (a == "--json") {
            options.Json = true;
        } else if (a == "--top") {
            if (!hasValue || !ReadCount(args[++i], options.Top)) {
                error = "--top needs a whole number";
                return false;
            }
        } else if (a == "--out") {
            if (!hasValue || args[i + 1].empty()) {
                error = "--out needs a folder";
                return false;
            }
            options.OutDir = args[++i];
        } else if (a == "--save") {
            options.Save = true;
        } else if (a == "--pie") {
            if (!hasValue || args[i + 1].empty()) {
                error = "--pie needs a file name";
                return false;
            }
            options.PieFile = args[++i];
        } else if (a == "--") {
            if (!hasValue || pathSeen || i + 2 != args.size()) {
                error = "exactly one PATH is expected";
                return false;
            }
            options.Path = args[++i];
            pathSeen = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (pathSeen) {
            error = "exactly one PATH is expected";
            return false;
        } else {
            options.Path = a;
            pathSeen = true;
        }
    }
    if (!pathSeen || options.Path.empty()) {
        error = "PATH is missing";
        return false;
    }
    return true;
}
