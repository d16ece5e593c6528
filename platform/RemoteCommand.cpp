#include "platform/RemoteCommand.h"

#include <cstdio>
#include <cstring>

namespace {

struct TToolLine {
    const char* Name;
    const char* Options;  // the export on standard output
};

// Ours compressed (a server's link is slower than zstd); ncdu with -e so
// that dates travel; all three stay on the folder's file system.
TToolLine ToolLine(TRemoteTool tool) {
    switch (tool) {
        case TRemoteTool::Ncdu:
            return {"ncdu", "-x -e -o-"};
        case TRemoteTool::Gdu:
            return {"gdu", "-n -x -o-"};
        default:
            return {"cobaltquarry-scan", "--export - --zstd"};
    }
}

// Shell text: true when the tool is on the PATH.
std::string ToolFoundText(const char* name) {
    return std::string("command -v ") + name + " >/dev/null 2>&1";
}

// Shell text: the tool in place of the shell, exporting the folder "$f".
std::string RunToolText(TRemoteTool tool) {
    const TToolLine line = ToolLine(tool);
    return std::string("exec ") + line.Name + " " + line.Options + " -- \"$f\"";
}

// Shell text: the marker on standard error, and the shell's end.
std::string NoScannerText() {
    return std::string("echo '") + kNoScannerMark + "' >&2; exit 4";
}

// A byte that stands for itself between single quotes in every login
// shell on one line: not a control byte or a line break, not "!" (csh
// expands it even there), not the quote itself, and not the backslash
// (fish reads \' and \\ there as escapes).
bool QuotesAsItIs(unsigned char c) {
    return c >= 0x20 && c < 0x7F && c != '!' && c != '\'' && c != '\\';
}

// Text between single quotes, each quote in it as '\'' (the quote ended, an
// escaped quote outside, the quote begun again: read alike by sh, csh and
// fish). Exact in all of them as long as no backslash in the text stands
// before a quote or a backslash, and there is no line break or "!".
std::string SingleQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A byte the printf text keeps as it is: ASCII letters and digits whatever
// the locale (std::isalnum takes in other letters in a single-byte one), and
// the few marks a path is mostly made of.
bool PrintsAsItIs(unsigned char c) {
    const unsigned char lower = c | 0x20;
    return (c >= '0' && c <= '9') || (lower >= 'a' && lower <= 'z') || c == '/' || c == '.' ||
           c == '_' || c == '-' || c == ' ';
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string LastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of("\r\n \t");
    if (end == std::string::npos)
        return {};
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1,
                       end + 1 - (start == std::string::npos ? 0 : start + 1));
}

// Words as sh splits them: blanks between, '...' and "..." kept together,
// a backslash taking the next character as it is (no expansions).
std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0 && c == quote) {
            quote = 0;
        } else if (quote == '\'') {
            word += c;
        } else if (c == '\\' && i + 1 < text.size() &&
                   (quote == 0 || std::strchr("\"\\$`", text[i + 1]) != nullptr)) {
            word += text[++i];
            inWord = true;
        } else if (quote == '"') {
            word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

}  // namespace

std::string ShellWord(const std::string& text) {
    bool plain = true;
    for (const char c : text)
        plain = plain && QuotesAsItIs(static_cast<unsigned char>(c));
    if (plain)
        return SingleQuoted(text);
    // printf's %b turns \0ooo into the byte; the "x" keeps trailing line
    // breaks from the command substitution, which drops them. Every
    // backslash here is followed by a 0: none next to a quote, none doubled.
    std::string escaped;
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (PrintsAsItIs(b)) {
            escaped += c;
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\0%03o", b);
            escaped += octal;
        }
    }
    return "\"$(printf '%bx' " + SingleQuoted(escaped) + ")\"";
}

std::string RemoteShellLine(TRemoteTool tool, const std::string& folder) {
    const std::string word = ShellWord(folder);
    std::string script = "f=" + word + ";";
    if (word[0] == '"')
        script += " f=${f%x};";
    script += " [ -d \"$f\" ] && [ -r \"$f\" ] && [ -x \"$f\" ] || { echo '" +
              std::string(kNoFolderMark) + "' >&2; exit 3; }; ";
    if (tool == TRemoteTool::FirstFound) {
        const char* branch = "if";
        for (const TRemoteTool t : {TRemoteTool::Ours, TRemoteTool::Ncdu, TRemoteTool::Gdu}) {
            script += std::string(branch) + " " + ToolFoundText(ToolLine(t).Name) + "; then " +
                      RunToolText(t) + "; ";
            branch = "elif";
        }
        script += "else " + NoScannerText() + "; fi";
    } else {
        script += ToolFoundText(ToolLine(tool).Name) + " || { " + NoScannerText() + "; }; " +
                  RunToolText(tool);
    }
    // The login shell may be csh or fish: one line, single-quoted, with no
    // backslash in the script but those of the folder's octal escapes.
    return "sh -c " + SingleQuoted(script);
}

std::vector<std::string> SshArguments(const TRemoteRequest& request,
                                      const std::string& sshCommand) {
    std::vector<std::string> args = SplitWords(sshCommand);
    if (args.empty())
        args.push_back("ssh");
    for (const std::string& option :
         {std::string("BatchMode=yes"), "ConnectTimeout=" + std::to_string(kRemoteConnectSeconds),
          std::string("ServerAliveInterval=15"), std::string("ServerAliveCountMax=4")}) {
        args.push_back("-o");
        args.push_back(option);
    }
    if (request.Port > 0) {
        args.push_back("-p");
        args.push_back(std::to_string(request.Port));
    }
    args.push_back("--");
    args.push_back(request.Host);
    args.push_back(RemoteShellLine(request.Tool, request.Folder));
    return args;
}

std::string RemoteFailure(const TRemoteRequest& request, int exitStatus,
                          const std::string& errorText) {
    const std::string host = request.Host;
    std::string message;
    if (Contains(errorText, kNoFolderMark)) {
        message =
            "The folder " + request.Folder + " does not exist on " + host + " or cannot be read.";
    } else if (Contains(errorText, kNoScannerMark)) {
        message = "No scanner found on " + host +
                  ": install cobaltquarry-scan, ncdu or gdu there, or choose another.";
    } else if (Contains(errorText, "Word too long")) {
        // csh takes no word over 8 KiB, and the whole remote line is one
        // word to it: a long path of bytes that need escaping exceeds it.
        message = "The folder's name is too long for the login shell of your account on " + host +
                  " (csh takes no word over 8 KiB): choose a folder with a shorter path, or "
                  "another login shell there.";
    } else if (Contains(errorText, "Host key verification failed") ||
               Contains(errorText, "IDENTIFICATION HAS CHANGED") ||
               Contains(errorText, "host key is known")) {
        message = "The host key of " + host +
                  " is unknown or has changed; it is never accepted here. Check it and accept "
                  "it with ssh in a terminal first.";
    } else if (Contains(errorText, "Permission denied") ||
               Contains(errorText, "Too many authentication failures")) {
        message = host +
                  " refused the login. Passwords are never asked here: load your key into the "
                  "agent (ssh-add) or name it in your ssh config.";
    } else if (Contains(errorText, "Could not resolve hostname") ||
               Contains(errorText, "Name or service not known")) {
        message = "The host name " + host + " is unknown.";
    } else if (exitStatus == 255) {
        message = host + " cannot be reached.";
    } else if (exitStatus != 0) {
        message =
            "The scan on " + host + " failed (exit status " + std::to_string(exitStatus) + ").";
    } else {
        return {};
    }
    const std::string last = LastLine(errorText);
    return last.empty() ? message : message + "\n\nssh: " + last;
}
