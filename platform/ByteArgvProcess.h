#pragma once
// Starts a QProcess on an argument vector of raw bytes. QProcess takes its
// arguments as text, which cannot carry a name that is not valid UTF-8; here
// the child executes the prepared byte vector itself (execv in the child,
// after QProcess has set up its channels), so every argument reaches the
// program exactly. The program is looked up on PATH before the start; one
// that is not found is refused without starting anything.
#include <QProcess>
#include <QString>
#include <string>
#include <vector>

// False, with the reason in problem, when argv is empty or its program is
// not found; else the process is starting (QProcess's signals follow).
bool StartByteArgv(QProcess& process, const std::vector<std::string>& argv, QString& problem);
