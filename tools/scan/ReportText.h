#pragma once
// The texts every report of cobaltquarry-scan shares: names shown so that
// they cannot break a line or steer the terminal, names in JSON kept
// exactly, messages on standard error and counts with their nouns.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

// A name as the text report shows it: control characters (C0, DEL, the C1
// range), the characters that turn the direction of text (U+202E and its
// kin) and bytes that are not UTF-8 written as \xNN, so that no name can
// break a line, send escape sequences to the terminal or show the rest of
// its line backwards; every other byte as it is.
std::string VisibleName(std::string_view raw);

// A message on standard error: "cobaltquarry-scan: " and the message on one
// line, through VisibleName, since messages name folders and files too.
void PrintMessage(std::ostream& err, std::string_view message);
// A mistake on the command line: the message, then where to read more.
void PrintUsageError(std::ostream& err, std::string_view message);

// "1 folder", "3 folders": a count with its noun.
std::string CountText(std::uint64_t count, const char* one, const char* many);

// A name or path in a JSON object: its text under key, and where its bytes
// are not valid UTF-8, the exact bytes in base64 under key + "_base64".
class QJsonObject;
class QString;
void PutJsonName(QJsonObject& o, const QString& key, const std::string& raw);
