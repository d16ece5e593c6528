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

// The absolute path of an existing entry with links and "." / ".."
// resolved; nullopt when it does not exist.
std::optional<std::string> ResolvedNativePath(const std::string& path);
// True for an existing folder (links followed).
bool IsNativeFolder(const std::string& path);
// Makes path a folder the process can write files into, creating it and
// its missing parents; false with the reason in error otherwise.
bool MakeWritableNativeFolder(const std::string& path, std::string& error);
