#pragma once
// Opening a document, folder or address with the desktop's default program.
// A drive-form path ("C:\home\ann\a.pdf") is opened at its native place;
// addresses (https:, mailto:) and native paths go to the desktop as they
// are. A local file that cannot be opened (no program is set up for its
// type) is told in a message box, shown without blocking; for an address
// the outcome is not examined.
#include <QString>
#include <string>

void ShellEx(const std::string& target);

// The message shown when the local file at nativePath could not be opened.
QString OpenFailureText(const std::string& nativePath, const QString& why);

// The same without an owner window (the About window's links). On this
// desktop an open has no owner either way.
void ShellExNoOwner(const std::string& target);

// The native form of a drive-form path, or the text itself when it is an
// address or already native.
std::string ShellTarget(const std::string& target);
