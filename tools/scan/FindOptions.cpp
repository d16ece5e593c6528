#include "tools/scan/FindOptions.h"

#include <QCommandLineParser>

#include "engine/SizeArgument.h"

namespace {

std::string OptionBytes(const QString& text) {
    return text.toLatin1().toStdString();  // the parser saw each byte as Latin-1
}

bool ReadDays(const std::string& text, int& days) {
    if (text.empty() || text.size() > 6 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    days = std::stoi(text);
    return true;
}

}  // namespace

QList<QCommandLineOption> FindOptionList() {
    return {
        {"find",
         "Instead of the report, list the files and folders below PATH whose names match "
         "PATTERN, a shell wildcard matched against the name's bytes as find's name test "
         "matches it (quote it).",
         "PATTERN"},
        {"contains", "With --find: PATTERN is a piece of text the name contains."},
        {"regex",
         "With --find: PATTERN is a Perl-compatible regular expression searched in the name "
         "read as UTF-8; bytes of a name that are not UTF-8 read as U+FFFD."},
        {"ignore-case",
         "With --find: upper and lower case match (ASCII and UTF-8 letters; a wildcard as "
         "find's case-blind name test)."},
        {"type", "With --find: only files (f) or only folders (d).", "f|d"},
        {"min-size",
         "With --find: only items of at least SIZE bytes (a folder by its total); with "
         "--duplicates: leave out files smaller than SIZE (empty files are always left out). "
         "SIZE with K, M or G counts 1024, 1024^2 or 1024^3 bytes.",
         "SIZE"},
        {"older-than", "With --find: only files not changed for over DAYS days.", "DAYS"},
    };
}

bool ReadFindOptions(const QCommandLineParser& parser, TFindOptions& options, std::string& error) {
    options.Wanted = parser.isSet("find");
    options.Pattern = OptionBytes(parser.value("find"));
    options.Contains = parser.isSet("contains");
    options.Regex = parser.isSet("regex");
    options.IgnoreCase = parser.isSet("ignore-case");
    const bool withFind = options.Contains || options.Regex || options.IgnoreCase ||
                          parser.isSet("type") || parser.isSet("older-than");
    if (!options.Wanted) {
        if (withFind)
            error = "--contains, --regex, --ignore-case, --type and --older-than go with --find";
        return !withFind;
    }
    if (options.Pattern.empty()) {
        error = "--find needs a pattern";
        return false;
    }
    if (options.Contains && options.Regex) {
        error = "--contains and --regex cannot go together";
        return false;
    }
    if (parser.isSet("type")) {
        const std::string type = OptionBytes(parser.value("type"));
        if (type != "f" && type != "d") {
            error = "--type needs f (files) or d (folders)";
            return false;
        }
        options.Type = type[0];
    }
    if (parser.isSet("min-size") &&
        !ParseSizeArgument(OptionBytes(parser.value("min-size")), options.MinSize, error)) {
        error = "--min-size: " + error;
        return false;
    }
    if (parser.isSet("older-than")) {
        int days = 0;
        if (!ReadDays(OptionBytes(parser.value("older-than")), days) || options.Type == 'd') {
            error = "--older-than needs a whole number of days and goes with files";
            return false;
        }
        options.OlderThanDays = days;
    }
    return true;
}
