#pragma once
// The options of cobaltquarry-scan --find: what to look for below PATH.
#include <QCommandLineOption>
#include <QList>
#include <cstdint>
#include <optional>
#include <string>

class QCommandLineParser;

struct TFindOptions {
    bool Wanted = false;  // --find PATTERN given
    std::string Pattern;
    bool Contains = false;    // --contains: PATTERN is a piece of the name
    bool Regex = false;       // --regex: PATTERN is a regular expression
    bool IgnoreCase = false;  // --ignore-case
    char Type = 0;            // --type f|d; 0: both
    std::int64_t MinSize = 0;
    std::optional<int> OlderThanDays;
};

// The options in the order the help lists them, after the others'.
QList<QCommandLineOption> FindOptionList();
// Reads them; false with a message in error for a bad value or an option
// that goes with --find given without it (--min-size is left alone
// without --find: other listings share it).
bool ReadFindOptions(const QCommandLineParser& parser, TFindOptions& options, std::string& error);
