#pragma once
// The kept result sets of the drives. When a scan of a whole drive replaces
// the drive's results, the set it replaces is kept in the data folder's
// "history/" as a snapshot (see HistorySnapshot.h), named after the drive
// and the time that set was saved ("C-20261209T074010Z.zst"), so that a
// later look can tell what grew since. Only the newest few per drive stay.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/HistorySnapshot.h"
#include "engine/StringList.h"

struct THistoryEntry {
    char Drive = 0;
    std::int64_t Time = 0;  // seconds since 1970, UTC
    int Serial = 0;         // sets kept within one second: later ones count up
    std::string Name;       // the file's name in the history folder
    std::string Path;       // and its whole path
};

class TScanHistory {
  public:
    static constexpr int kDefaultKeep = 12;
    static constexpr int kMostKeep = 1000;
    // The variable that overrides how many sets per drive are kept: a whole
    // number from 0 (keep none) to kMostKeep.
    static constexpr const char* kKeepVariable = "COBALTQUARRY_HISTORY_KEEP";

    // dataFolder: the result files' folder, ending in "/"; "" keeps nothing.
    explicit TScanHistory(std::string dataFolder);

    // How many sets of a drive are kept: the variable when it holds a usable
    // count, else kDefaultKeep.
    static int KeepFromEnvironment();
    int Keep = KeepFromEnvironment();

    // The drive's kept sets, newest first. Files whose names are not those
    // of a kept set are left out.
    std::vector<THistoryEntry> Entries(char drive) const;

    // Keeps dirs and sizes (a result set's texts) as the drive's set saved
    // at time, then removes the drive's sets beyond the newest Keep. False
    // with the reason in error when nothing could be kept.
    // The set's extra lists are kept with it.
    bool Record(char drive, std::int64_t time, const TStringList& dirs, const TStringList& sizes,
                std::string& error, const TExtraLists& extras = {});

    // Reads a kept set. False, with a message for the user that names the
    // set and says it is skipped, when it is damaged or cannot be read.
    bool Load(const THistoryEntry& entry, THistorySnapshot& snapshot, std::string& message) const;

    // The seconds since 1970 of a date and a time of day in UTC, each read
    // by its QDate or QTime format; the zone the program runs in plays no
    // part. False when either is not a valid date or time.
    static bool UtcTime(const std::string& date, const char* dateFormat, const std::string& clock,
                        const char* clockFormat, std::int64_t& time);
    // "2026-12-09 07:40 UTC": how a kept set is named to the user.
    static std::string TimeText(std::int64_t time);
    // The file name of a set; serial > 0 tells sets saved in the same second
    // apart. False from ParseName for any other name.
    static std::string FileName(char drive, std::int64_t time, int serial = 0);
    static bool ParseName(const std::string& name, THistoryEntry& entry);

  private:
    std::string dataFolder_;
};
