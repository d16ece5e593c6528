#pragma once
// cobaltquarry-scan --find: walks PATH as a scan does and lists the files
// and folders below it whose names match, with sizes and times, as text
// (one item a line, folders ending in "/", names shown safely) or as JSON
// (exact names, see PutJsonName).
#include <iosfwd>
#include <string>

class TAnalizeDisk;
struct TScanOptions;

// native: PATH resolved; driveForm: its drive form (a drive of its own for
// a folder on no drive). Returns the exit status.
int RunScanFind(TAnalizeDisk& analyzer, const TScanOptions& options, const std::string& native,
                const std::string& driveForm, std::ostream& out, std::ostream& err);
