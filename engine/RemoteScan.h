#pragma once
// A scan run on another machine over ssh and read as it arrives: the
// export streams through the same reader as an export file, on the calling
// (worker) thread, into a scan shown as an imported one.
#include <atomic>
#include <cstdint>
#include <string>

#include "engine/ImportedScan.h"
#include "platform/RemoteCommand.h"

struct TRemoteProgress {
    std::atomic<std::uint64_t> Bytes{0};  // received from ssh, as sent (perhaps compressed)
    std::atomic<int> IdleSeconds{0};      // since bytes last arrived
    TImportProgress Import;               // items read and the current folder
};

constexpr std::uint64_t kRemoteMaxEntries = 60'000'000;
// The environment variable that sets TRemoteSettings::MaxEntries.
constexpr const char* kRemoteMaxEntriesVariable = "COBALTQUARRY_REMOTE_MAX_ENTRIES";

struct TRemoteSettings {
    std::string SshCommand = "ssh";  // the program and options of its own (COBALTQUARRY_SSH)
    std::string KeepFile;            // when not empty, receives the export as it arrives
    int StallSeconds = 60;           // no bytes for this long ends the scan
    // Entries (folders and items) past which the scan is refused, so that a
    // server sending without end cannot take all memory; the default holds
    // an export of 50 000 000 entries with room to spare.
    std::uint64_t MaxEntries = kRemoteMaxEntries;
};

// "host:/srv": how messages name the scan.
std::string RemoteScanName(const TRemoteRequest& request);

// Runs the scan and reads it with its root under Letter. Cancel, set from
// another thread, ends ssh at once (and with it the scanner on the server,
// which loses its reader). False with one plain message (empty after a
// cancel). A KeepFile that cannot be written is given up, not the scan:
// the file is removed and keepProblem (when given) says why; it is empty
// when the whole export was kept.
bool ReadRemoteScan(const TRemoteRequest& request, const TRemoteSettings& settings, char letter,
                    TImportedScan& scan, std::string& error, const std::atomic<bool>* cancel,
                    TRemoteProgress* progress = nullptr, std::string* keepProblem = nullptr);
