#include "tools/scan/ScanOptions.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "engine/ExcludeFile.h"
#include "engine/ExcludeRules.h"
#include "engine/ProgramVersion.h"
#include "engine/SizeArgument.h"
#include "tools/scan/TreemapSize.h"

namespace {

// The options in the order the help lists them. The descriptions are the
// help text itself, so an option cannot be added without one.
QList<QCommandLineOption> Options() {
    QList<QCommandLineOption> options{
        {"top", "List the N largest subfolders (default 20).", "N"},
        {"json", "Print the report as JSON instead of text."},
        {"out",
         "Also write the result lists XDirs, XDirSizes and XPercents (X: the drive letter of "
         "PATH) into DIR; DIR is created when missing.",
         "DIR"},
        {"save", "Store the results as the desktop program does."},
        {"largest",
         "Also list the N largest files (at most 1000) with their sizes and times of last "
         "change.",
         "N"},
        {"types",
         "Also list the file types (by extension) with their files, sizes and shares of the "
         "total."},
        {"type-files", "With --types: under each listed type, its N largest files (at most 20).",
         "N"},
        {"old",
         "Also list the N largest files (at most 1000) not changed for over a year before the "
         "scan.",
         "N"},
        {"disk-usage",
         "Report, list (--top), draw (--pie) and order by the bytes the files take on the disk "
         "(their allocated blocks, as du counts a file, hard links once; unlike du, folders' "
         "own blocks are not counted) instead of their sizes, and tell how much of them is "
         "shared with hard links outside PATH and how much sparse files leave out; --json "
         "always gives both sizes."},
        {"exclude",
         "Leave out every item whose path, or any part of it that starts after a /, matches "
         "the shell pattern PATTERN, as ncdu --exclude does (* and ? also match /): an "
         "excluded folder is not entered, an excluded file not counted. May be given many "
         "times; applies to the report, --json, --save, --out, --export, --largest, --types "
         "and --old.",
         "PATTERN"},
        {"exclude-from",
         "Leave out what the patterns in FILE match, one a line, as ncdu reads its exclude files "
         "(carriage returns at line ends are cut, blank lines skipped).",
         "FILE"},
        {"exclude-caches",
         "Leave out folders tagged as caches: those holding a CACHEDIR.TAG that starts with "
         "the Cache Directory Tagging signature."},
        {"pie", "Draw the pie chart of PATH into FILE, a PNG picture; FILE must end in .png.",
         "FILE"},
        {"treemap", "Draw the treemap of PATH into FILE, a PNG picture; FILE must end in .png.",
         "FILE"},
        {"size",
         "With --treemap: the picture's width and height in pixels (default 800x600), each from "
         "16 to 8192.",
         "WxH"},
        {"export",
         "Instead of the report, write the scan of PATH into FILE in the JSON export format of "
         "ncdu, which ncdu, gdu and --import read; a FILE ending in .zst is compressed with "
         "zstd. FILE - is standard output, written as the scan goes (progress stays on "
         "standard error), e.g. for ssh HOST cobaltquarry-scan --export - PATH.",
         "FILE"},
        {"zstd", "With --export: compress the export with zstd whatever FILE is called."},
        {"import",
         "Instead of scanning, report on FILE, a scan exported by --export, ncdu or gdu (plain "
         "or compressed with zstd), perhaps on another machine; no PATH is given, and --top, "
         "--json, --out and --pie work as for a scan.",
         "FILE"},
        {
            "changes",
            "Instead of scanning, show how the subfolders of PATH changed between kept earlier "
            "results of its drive and its stored results: the largest growths (new folders among "
            "them) and losses (gone folders among them); --top and --json work as for a scan.",
        },
        {"since",
         "With --changes: the kept results to compare with, N (1 = the newest, the default) or "
         "a date in UTC, YYYY-MM-DD (up to the end of that day) or YYYY-MM-DDTHH:MM.",
         "DATE|N"},
        {"stored",
         "Instead of scanning, print --largest, --types and --old from the stored results of "
         "PATH's drive (files below PATH only)."},
        {"duplicates",
         "Instead of the report, list the groups of files below PATH with the same bytes (by "
         "size, then a hash of their ends, then a hash of their whole content; the names of one "
         "inode count as one copy, and copies that already share their data extents, such as "
         "reflink clones, are marked and waste nothing) and the space they waste; nothing is "
         "changed."},
    };
    options += FindOptionList();
    options += QList<QCommandLineOption>{
        {{"h", "help"}, "Show this help and exit."},
        {"version", "Show the program's version and exit."},
    };
    return options;
}

// "-h, --help", "--top N": an option's names as the help shows them.
QString Names(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names << (name.size() == 1 ? "-" : "--") + name;
    QString text = names.join(", ");
    if (!option.valueName().isEmpty())
        text += " " + option.valueName();
    return text;
}

// head, then the words of text in lines of at most 79 characters, each
// further line indented as far as head.
QString Wrapped(const QString& head, const QString& text) {
    constexpr int kWidth = 79;
    QString out = head, line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && head.size() + line.size() + 1 + word.size() > kWidth) {
            out += line + "\n" + QString(head.size(), ' ');
            line.clear();
        }
        line += (line.isEmpty() ? "" : " ") + word;
    }
    return out + line + "\n";
}

bool ReadCount(const std::string& text, int& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::atoi(text.c_str());
    return true;
}

bool EndsInPng(const std::string& file) {
    static const std::string kPng = ".png";
    if (file.size() <= kPng.size())
        return false;
    for (std::size_t i = 0; i < kPng.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(file[file.size() - kPng.size() + i])) !=
            kPng[i])
            return false;
    return true;
}

// Arguments are file names, i.e. bytes that need not be UTF-8. The parser
// sees each byte as one Latin-1 character (the option names are ASCII), so
// every value and PATH comes back with exactly the bytes given.
QString Text(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Bytes(const QString& text) {
    return text.toLatin1().toStdString();
}

// --export and --import, and the PATH that goes with them (or not).
bool ExchangeOptions(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    options.ExportFile = Bytes(parser.value("export"));
    options.ImportFile = Bytes(parser.value("import"));
    options.Zstd = parser.isSet("zstd");
    if (options.Zstd && options.ExportFile.empty() && !parser.isSet("export")) {
        error = "--zstd goes with --export";
        return false;
    }
    if ((parser.isSet("export") && options.ExportFile.empty()) ||
        (parser.isSet("import") && options.ImportFile.empty())) {
        error = "--export and --import need a file name";
        return false;
    }
    if (!options.ImportFile.empty()) {
        if (!options.Path.empty() || !options.ExportFile.empty() || options.Save) {
            error = "--import reads a scan from its FILE: no PATH, --export or --save with it";
            return false;
        }
        return true;
    }
    if (!options.ExportFile.empty() &&
        (options.Save || !options.OutDir.empty() || !options.PieFile.empty())) {
        error = "--export writes only the export: no --save, --out or --pie with it";
        return false;
    }
    if (options.Path.empty()) {
        error = "PATH is missing";
        return false;
    }
    return true;
}

// --largest, --types and --stored.
bool DiscoverOptions(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    if (parser.isSet("largest") && (!ReadCount(Bytes(parser.value("largest")), options.Largest) ||
                                    options.Largest < 1 || options.Largest > 1000)) {
        error = "--largest needs a whole number from 1 to 1000";
        return false;
    }
    options.Types = parser.isSet("types");
    if (parser.isSet("type-files") &&
        (!ReadCount(Bytes(parser.value("type-files")), options.TypeFiles) ||
         options.TypeFiles < 1 || options.TypeFiles > 20 || !options.Types)) {
        error = "--type-files goes with --types and needs a whole number from 1 to 20";
        return false;
    }
    if (parser.isSet("old") && (!ReadCount(Bytes(parser.value("old")), options.Old) ||
                                options.Old < 1 || options.Old > 1000)) {
        error = "--old needs a whole number from 1 to 1000";
        return false;
    }
    options.Stored = parser.isSet("stored");
    if (options.Stored && options.Largest == 0 && !options.Types && options.Old == 0) {
        error = "--stored goes with --largest, --types or --old";
        return false;
    }
    if (options.Stored && (options.Save || !options.OutDir.empty() || !options.PieFile.empty() ||
                           parser.isSet("export") || parser.isSet("import") || options.Changes)) {
        error =
            "--stored scans nothing: no --save, --out, --pie, --export, --import or --changes "
            "with it";
        return false;
    }
    if ((options.Largest > 0 || options.Types || options.Old > 0) &&
        (parser.isSet("export") || options.Changes)) {
        error = "--largest, --types and --old go with a scan, --stored or --import";
        return false;
    }
    return true;
}

// --treemap and --size: a picture drawn as the pie is, after a scan or an
// import.
bool TreemapOptions(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    options.TreemapFile = Bytes(parser.value("treemap"));
    if (parser.isSet("treemap") && !EndsInPng(options.TreemapFile)) {
        error = "--treemap needs the name of a PNG file, ending in .png";
        return false;
    }
    if (parser.isSet("size")) {
        QSize size;
        if (!parser.isSet("treemap") || !ParseTreemapSize(Bytes(parser.value("size")), size)) {
            error = "--size goes with --treemap and needs WxH, each from 16 to 8192";
            return false;
        }
        options.TreemapWidth = size.width();
        options.TreemapHeight = size.height();
    }
    if (parser.isSet("treemap") && (parser.isSet("export") || options.Changes || options.Stored)) {
        error = "--treemap goes with a scan or --import: no --export, --changes or --stored";
        return false;
    }
    return true;
}

// --changes and --since: a comparison of stored results, nothing scanned.
bool ChangesOptions(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    options.Changes = parser.isSet("changes");
    options.Since = Bytes(parser.value("since"));
    if (parser.isSet("since") && (!options.Changes || options.Since.empty())) {
        error = "--since goes with --changes and needs a date or a count";
        return false;
    }
    if (options.Changes && (options.Save || !options.OutDir.empty() || !options.PieFile.empty() ||
                            !options.ExportFile.empty() || !options.ImportFile.empty())) {
        error = "--changes scans nothing: no --save, --out, --pie, --export or --import with it";
        return false;
    }
    return true;
}

// --find lists what it finds and nothing else.
bool FindAlone(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    if (!ReadFindOptions(parser, options.Find, error))
        return false;
    if (options.Find.Wanted &&
        (options.Save || !options.OutDir.empty() || !options.PieFile.empty() ||
         !options.ExportFile.empty() || !options.ImportFile.empty() || options.Changes ||
         options.Stored || options.Largest > 0 || options.Types || options.Old > 0 ||
         parser.isSet("top") || options.DiskUsage)) {
        error = "--find lists what it finds: no other report or output with it";
        return false;
    }
    return true;
}

// --duplicates: a listing of its own, nothing else with it. --min-size is
// read here when it goes with --duplicates (with --find, find reads it).
bool DuplicateOptions(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    options.Duplicates = parser.isSet("duplicates");
    if (parser.isSet("min-size") && !options.Find.Wanted) {
        std::string problem;
        if (!options.Duplicates) {
            error = "--min-size goes with --find or --duplicates";
            return false;
        }
        if (!ParseSizeArgument(Bytes(parser.value("min-size")), options.MinSize, problem)) {
            error = "--min-size: " + problem;
            return false;
        }
    }
    if (options.Duplicates &&
        (options.Find.Wanted || options.Save || !options.OutDir.empty() ||
         !options.PieFile.empty() || parser.isSet("export") || parser.isSet("import") ||
         options.Changes || options.Stored || options.Largest > 0 || options.Types ||
         options.Old > 0 || parser.isSet("top") || options.DiskUsage)) {
        error = "--duplicates lists only duplicates: no other option but --min-size and --json";
        return false;
    }
    return true;
}

// --exclude, --exclude-from and --exclude-caches: only with a scan or an
// export, every pattern checked now (a bad one found before a long scan).
bool ExcludeOptions(const QCommandLineParser& parser, TScanOptions& options, std::string& error) {
    options.ExcludeCaches = parser.isSet("exclude-caches");
    // Patterns in the order given, whichever option gave them.
    const QStringList patterns = parser.values("exclude");
    const QStringList files = parser.values("exclude-from");
    for (const QString& p : patterns) {
        if (p.isEmpty()) {
            error = "--exclude needs a pattern; an empty one would exclude nothing";
            return false;
        }
        options.Exclude.push_back(Bytes(p));
    }
    for (const QString& f : files)
        if (f.isEmpty() || !ReadExcludeFile(Bytes(f), options.Exclude, error)) {
            if (f.isEmpty())
                error = "--exclude-from needs a file name";
            return false;
        }
    for (const std::string& p : options.Exclude)
        if (!TExcludeRules::Check(p, error)) {
            error = "--exclude: " + error;
            return false;
        }
    const bool any = !options.Exclude.empty() || options.ExcludeCaches || !files.isEmpty();
    if (any && (options.Stored || options.Changes || !options.ImportFile.empty())) {
        error = "--exclude, --exclude-from and --exclude-caches go with a scan or --export";
        return false;
    }
    return true;
}

}  // namespace

std::string ScanUsage() {
    const QList<QCommandLineOption> options = Options();
    QString synopsis = "usage: cobaltquarry-scan";
    int width = 0;
    for (const QCommandLineOption& option : options) {
        if (option.names().contains("export"))
            break;  // exports, imports, changes, help and version have synopses of their own
        synopsis += " [" + Names(option) + "]";
    }
    for (const QCommandLineOption& option : options)
        width = std::max(width, static_cast<int>(Names(option).size()));
    QString text =
        synopsis + " [--] PATH\n" +
        "       cobaltquarry-scan --export FILE|- [--zstd] [--exclude PATTERN]...\n" +
        "                         [--exclude-from FILE]... [--exclude-caches] [--] PATH\n" +
        "       cobaltquarry-scan --import FILE [--top N] [--json] [--out DIR] [--pie FILE]\n" +
        "                         [--treemap FILE [--size WxH]] [--largest N]\n" +
        "                         [--types [--type-files N]] [--old N]\n" +
        "       cobaltquarry-scan --stored [--largest N] [--types [--type-files N]] [--old N]\n" +
        "                         [--json] [--] PATH\n" +
        "       cobaltquarry-scan --changes [--since DATE|N] [--top N] [--json] [--] PATH\n" +
        "       cobaltquarry-scan --find PATTERN [--contains|--regex] [--ignore-case]\n" +
        "                         [--type f|d] [--min-size SIZE] [--older-than DAYS] [--json]\n" +
        "                         [--] PATH\n" +
        "       cobaltquarry-scan --duplicates [--min-size SIZE] [--json] [--] PATH\n" +
        "       cobaltquarry-scan --help | --version\n" +
        "Measures the folder PATH and everything below it.\n\nOptions:\n";
    for (const QCommandLineOption& option : options)
        text += Wrapped("  " + Names(option).leftJustified(width + 2), option.description());
    return text.toStdString();
}

std::string ScanVersion() {
    return std::string("cobaltquarry-scan ") + kProgramVersion;
}

bool ParseScanOptions(const std::vector<std::string>& args, TScanOptions& options,
                      std::string& error) {
    QCommandLineParser parser;
    // "-top" is no spelling of --top; single letters may be combined.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions(Options());
    QStringList arguments{"cobaltquarry-scan"};
    for (const std::string& a : args)
        arguments << Text(a);
    const bool parsed = parser.parse(arguments);

    options.Help = parser.isSet("help");
    options.Version = !options.Help && parser.isSet("version");
    if (options.Help || options.Version)
        return true;
    if (!parsed) {
        error = Bytes(parser.errorText());  // an unknown option as its bytes
        return false;
    }
    if (parser.isSet("top") && !ReadCount(Bytes(parser.value("top")), options.Top)) {
        error = "--top needs a whole number";
        return false;
    }
    options.Json = parser.isSet("json");
    options.Save = parser.isSet("save");
    options.DiskUsage = parser.isSet("disk-usage");
    options.OutDir = Bytes(parser.value("out"));
    if (parser.isSet("out") && options.OutDir.empty()) {
        error = "--out needs a folder";
        return false;
    }
    options.PieFile = Bytes(parser.value("pie"));
    if (parser.isSet("pie") && !EndsInPng(options.PieFile)) {
        error = "--pie needs the name of a PNG file, ending in .png";
        return false;
    }
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 1) {
        error = "exactly one PATH is expected";
        return false;
    }
    options.Path = paths.isEmpty() ? std::string() : Bytes(paths.first());
    return ChangesOptions(parser, options, error) && ExchangeOptions(parser, options, error) &&
           DiscoverOptions(parser, options, error) && FindAlone(parser, options, error) &&
           DuplicateOptions(parser, options, error) && ExcludeOptions(parser, options, error) &&
           TreemapOptions(parser, options, error);
}
