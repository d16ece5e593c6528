#pragma once
// A PATH argument of cobaltquarry-scan, native ("/home/me") or in drive
// form ("C:\home\me"), and how messages name it.
#include <optional>
#include <string>

// The native path of PATH: PATH itself when it is no drive form, else the
// folder the drive form stands for; nullopt with the reason in error when
// there is no such drive or the form names no folder.
std::optional<std::string> NativeArgument(const std::string& path, std::string& error);

// PATH as a message names it before a colon: a bare drive "D:" as its root
// folder "D:\", so that no message reads "D:: ...".
std::string PathInMessage(const std::string& path);
