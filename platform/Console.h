#pragma once
// What command-line programs need from the terminal and the process.
#include <atomic>
#include <optional>
#include <string>

// True when standard error is a terminal (progress lines make sense).
bool StandardErrorIsTerminal();

// From now on Ctrl+C (SIGINT) and SIGTERM set Flag instead of ending the
// process; a second Ctrl+C ends it as usual. Flag must live until exit.
void CancelOnInterrupt(std::atomic<bool>* flag);
// The status of a run ended by Ctrl+C or SIGTERM (both: 128 + SIGINT, as
// shells report an interrupted command).
constexpr int kInterruptedStatus = 130;
// While on (after CancelOnInterrupt), Ctrl+C and SIGTERM end the process at
// once with kInterruptedStatus: for steps that only read, or write nothing
// but standard output, where a flag would not be seen soon (a read of a
// huge or endless input, a write blocked on a full pipe) and nothing can be
// left half-written. Turned on after such a signal came (and while the flag
// it set is still set), it ends the process at once. Without
// CancelOnInterrupt it does nothing.
void ExitAtOnceOnInterrupt(bool on);

// The absolute path of an existing entry with links and "." / ".."
// resolved; nullopt when it does not exist.
std::optional<std::string> ResolvedNativePath(const std::string& path);
// True for an existing folder (links followed).
bool IsNativeFolder(const std::string& path);
// Makes path a folder the process can write files into, creating it and
// its missing parents; false with the reason in error otherwise.
bool MakeWritableNativeFolder(const std::string& path, std::string& error);
