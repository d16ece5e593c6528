#pragma once
// A file of exclude patterns, one a line, read as ncdu reads its -X files:
// the line breaks and carriage returns that end a line are cut off, blank
// lines are skipped, every other line is a pattern as it stands (blanks
// included). The file kept with stored results and the user's settings are
// written the same way, so any of them can be given to ncdu.
#include <string>
#include <vector>

// Appends the file's patterns. False with a message naming the file when
// it cannot be read.
bool ReadExcludeFile(const std::string& path, std::vector<std::string>& patterns,
                     std::string& error);
// Appends the patterns of the text of such a file.
void ParseExcludeText(const std::string& text, std::vector<std::string>& patterns);
