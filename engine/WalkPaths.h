#pragma once
// The paths the folder walk makes: the drive-form text of its root as the
// result lists hold it, the native path it opens, the native path of a
// subfolder from its escaped name, and raw names escaped for the lists.
// Pure text work; nothing here touches the file system.
#include <string>
#include <string_view>
#include <vector>

// "C:\a\" and "C:\a" both give "C:\a"; a drive root "C:\" gives "C:".
std::string WalkRootText(const std::string& directory);
// The native path of a drive-form directory; empty when it has none.
std::string WalkNativeRoot(const std::string& directory);
// parent + "/" + the raw bytes of escapedName (one "/" between them).
std::string WalkChildNative(const std::string& parent, std::string_view escapedName);
// Each raw name in its drive-form escaping (EscapeName).
std::vector<std::string> EscapedNames(const std::vector<std::string>& raw);
