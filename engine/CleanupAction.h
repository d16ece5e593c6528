#pragma once
// The cleanup actions a user defines for the item menu: a program with its
// arguments, or a command for sh, run on each chosen item. The item's path
// (%p), name (%n) and folder (%d) go into the arguments only, each as one
// whole argument whatever its bytes: a shell command gets them as its
// positional parameters ($1, $2, ...: sh -c COMMAND sh ARGS...), never
// spliced into its text, so no name is ever read as shell code.
// "%%" is a percent sign.
//
// The actions are kept in the settings file "cleanups.json"
// (UserSettings); without that file a small predefined set is offered,
// each off until the user enables it.
#include <string>
#include <vector>

struct TCleanupAction {
    enum class TApplies { Files, Folders, Both };
    enum class TRescan { Nothing, ItsFolder, Parent };

    std::string Title;  // the item menu's text (UTF-8)
    bool Enabled = true;
    bool Shell = false;                  // Program is a command text for sh -c
    std::string Program;                 // the program (found on PATH), or the shell command
    std::vector<std::string> Arguments;  // each with placeholders; one argv element each
    TApplies Applies = TApplies::Both;
    bool Confirm = true;
    TRescan Rescan = TRescan::Nothing;

    bool operator==(const TCleanupAction& other) const;
};

// Whether the action is offered for a file or for a folder.
bool CleanupAppliesTo(const TCleanupAction& action, bool folder);

// One argument with %p, %n, %d and %% replaced for the item at path (a
// native absolute path); any other "%x" stays as it is.
std::string ExpandCleanupArgument(const std::string& argument, const std::string& path);

// The whole argument vector for one item: the program and its arguments,
// or "sh", "-c", COMMAND, "sh" and the arguments.
std::vector<std::string> CleanupArgv(const TCleanupAction& action, const std::string& path);

// The folder to measure again after the action ran on the item: the item
// itself when a folder (else its folder) for ItsFolder, the folder above
// that for Parent; empty for Nothing.
std::string CleanupRescanFolder(const TCleanupAction& action, const std::string& path, bool folder);

// The set offered before the user saved any: open a terminal in a folder,
// compress a folder to NAME.tar.zst beside it, delete *.o, *~ and *.bak
// files below a folder, "git gc" in a folder. All off.
std::vector<TCleanupAction> PredefinedCleanups();

// The stored actions (the predefined set when none are stored). False,
// with the reason in problem and the predefined set in actions, when the
// file cannot be read or is not a list of actions.
bool LoadCleanups(std::vector<TCleanupAction>& actions, std::string& problem);
// Replaces the stored actions; false, with the reason, when the file could
// not be written (the earlier file is then as it was).
bool SaveCleanups(const std::vector<TCleanupAction>& actions, std::string& problem);

// The file's text and its reading, for tests and the two above.
std::string CleanupsText(const std::vector<TCleanupAction>& actions);
bool CleanupsFromText(const std::string& text, std::vector<TCleanupAction>& actions);
