#pragma once
// The exit statuses of cobaltquarry-scan besides 0, shared by the command
// and the parts that run its modes.
struct TScanExit {
    static constexpr int kFailed = 1;  // an output could not be produced
    // The command line is wrong, or its input is missing or unusable: PATH,
    // the file of --import, the stored and kept results of --changes.
    static constexpr int kBadUsage = 2;
    static constexpr int kCancelled = 130;
};
