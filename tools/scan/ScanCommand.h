#pragma once
// One run of cobaltquarry-scan: reads the command line, scans the folder (or
// reads an export of a scan, or writes one) and produces what the options
// ask for. Kept apart from main() so that tests run
// it inside their own process, with their own drive table and data folder.
#include <atomic>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/AnalizeDisk.h"
#include "tools/scan/ScanExit.h"
#include "tools/scan/ScanPictures.h"

struct TScanOptions;

class TScanCommand {
  public:
    // Exit statuses besides 0 (see ScanExit.h).
    static constexpr int kFailed = TScanExit::kFailed;
    static constexpr int kBadUsage = TScanExit::kBadUsage;
    static constexpr int kCancelled = TScanExit::kCancelled;

    // The arguments without the program name. The report goes to out,
    // messages to err (one line each, control characters escaped); progress lines go to the
    // process's standard error when it is a terminal.
    int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

    // What draws --pie and --treemap pictures. Without it a run that asks
    // for one calls the hand-off instead, before it reads or writes
    // anything, and returns its status (the hand-off normally runs the
    // drawing program in this process's place and does not return).
    void SetPictures(std::unique_ptr<TScanPictures> pictures) { pictures_ = std::move(pictures); }
    void SetPictureHandOff(std::function<int()> handOff) { pictureHandOff_ = std::move(handOff); }

    // Called with a scan's exit status once its files are on the disk and
    // its report is printed, before anything is freed. The program ends
    // there: freeing the tree of a large drive, folder by folder, takes
    // longer than the system takes to drop the whole process.
    void SetScanFinished(std::function<void(int)> finished) { finished_ = std::move(finished); }

    // Set from any thread (a signal handler) to stop the scan; one run only.
    std::atomic<bool>& Cancel() { return analyzer_.Cancel; }

  private:
    // --import: the report and outputs of a scan read from an export.
    int RunImport(const TScanOptions& options, std::ostream& out, std::ostream& err);
    // --stored: --largest and --types from the stored results of PATH's drive.
    int RunStored(const TScanOptions& options, std::ostream& out, std::ostream& err);
    // Runs the analyzer; why it failed (memory running out on any of its
    // threads), or nothing. The progress line's thread must be joined
    // before the run's end is told, so nothing is thrown past it.
    std::string ExecuteCarrying();

    TAnalizeDisk analyzer_;
    std::unique_ptr<TScanPictures> pictures_;
    std::function<int()> pictureHandOff_;
    std::function<void(int)> finished_;
};
