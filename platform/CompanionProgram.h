#pragma once
// Runs one of the program's companion programs in this process's place:
// the same process, arguments, environment and standard streams, so to the
// caller (a shell, a test, a pipe) it is as if this program had done the
// work. The companion is looked up as the program's own files are (see
// ProgramFiles): beside this executable first (the build tree), then in the
// installed layout's folder of helper programs.
#include <string>

// Returns only when the companion cannot be run, with the reason in error;
// argv is this program's own, argv[0] included.
void RunCompanionInstead(const std::string& name, char** argv, std::string& error);
