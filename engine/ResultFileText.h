#pragma once
// The text form of a result file: one entry per line, CR LF after every line.
#include <string>
#include <string_view>

#include "engine/StringList.h"

// Replaces lines with the lines of bytes. A line ends at CR LF, at a lone CR
// or at a lone LF; a last line without a break still counts; no bytes, no
// lines. The bytes of a line are kept as they are.
void SplitResultLines(std::string_view bytes, TStringList& lines);

// The lines as file bytes, each followed by CR LF.
std::string JoinResultLines(const TStringList& lines);
