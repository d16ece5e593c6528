#pragma once
// The ssh command line of a scan run on another machine: the user's own ssh
// (with their config, keys and agent) runs one POSIX sh line there, which
// starts a scanner installed on that machine with its export on standard
// output. Nothing is written on the server, and no password passes through
// this program (ssh never prompts: BatchMode).
#include <string>
#include <vector>

enum class TRemoteTool { Ours, Ncdu, Gdu, FirstFound };

struct TRemoteRequest {
    std::string Host;    // anything ssh takes as a destination: alias, host, user@host
    int Port = 0;        // 0: ssh's own choice (its config or 22)
    std::string Folder;  // the folder on the server, raw bytes
    TRemoteTool Tool = TRemoteTool::FirstFound;
};

// Seconds ssh may take to connect before it gives up.
constexpr int kRemoteConnectSeconds = 20;

// Text as one word for sh: single-quoted, or for bytes a quote cannot carry
// on one line through any login shell (control bytes, "!", the quote and the
// backslash), rebuilt by printf from octal escapes. Never a line break, "!"
// or a quote inside the word's own text, and a backslash only before a 0.
std::string ShellWord(const std::string& text);

// "sh -c '...'": checks the folder, finds the scanner and runs it with its
// export on standard output, "--" before the folder.
std::string RemoteShellLine(TRemoteTool tool, const std::string& folder);

// The program and its arguments: SshCommand (COBALTQUARRY_SSH, "ssh" when
// empty) split as a shell would, then the options, "--", host and line.
std::vector<std::string> SshArguments(const TRemoteRequest& request, const std::string& sshCommand);

// The plain message for a remote scan that failed, from ssh's exit status
// and what ssh and the server wrote on standard error (its last line is
// quoted). Empty when nothing says the connection or the server failed.
std::string RemoteFailure(const TRemoteRequest& request, int exitStatus,
                          const std::string& errorText);

// The markers the remote line writes on standard error before it gives up.
constexpr const char* kNoFolderMark = "cobaltquarry-remote: no readable folder";
constexpr const char* kNoScannerMark = "cobaltquarry-remote: no scanner";
