#include "engine/StoredSetLoadExtras.h"

#include <errno.h>

#include <utility>

#include "engine/ExtraFileKinds.h"
#include "engine/ResultChecksum.h"
#include "engine/ResultFileText.h"
#include "platform/DataFolder.h"

namespace {

// Reads path whole, at most most bytes: its lines and its sum. False, with
// errno set, when it cannot be read.
bool ReadExtraFile(const std::string& path, std::uint64_t most, TStringList& lines,
                   TResultFileSum& sum) {
    std::string bytes;
    if (!ReadDataFile(path, bytes, most))
        return false;
    TResultChecksum checksum;
    TResultLineCount count;
    checksum.Feed(bytes);
    count.Feed(bytes);
    sum = TResultFileSum{count.Lines(), checksum.Bytes(), checksum.Value()};
    lines.clear();
    SplitResultLines(bytes, lines);
    return true;
}

// The sum of path read piece by piece, at most limit bytes.
bool SumOfFile(const std::string& path, std::uint64_t limit, TResultFileSum& sum) {
    TResultChecksum checksum;
    TResultLineCount count;
    auto feed = [&](std::string_view piece) {
        checksum.Feed(piece);
        count.Feed(piece);
    };
    if (!ReadDataFileChunks(path, feed, limit))
        return false;
    sum = TResultFileSum{count.Lines(), checksum.Bytes(), checksum.Value()};
    return true;
}

// A file whose size is not the recorded one is not read at all: it cannot
// have the sum, and it may be of any size.
bool SizeCanMatch(const std::string& path, const TResultFileSum& sum, std::uint64_t most) {
    const TDataFileStamp stamp = DataFileStampOf(path);
    return sum.Bytes <= most && stamp.Exists && stamp.Size == sum.Bytes;
}

bool ReadIfSum(const std::string& path, const TResultFileSum& sum, std::uint64_t most,
               TStringList& lines) {
    TResultFileSum found;
    return SizeCanMatch(path, sum, most) && ReadExtraFile(path, sum.Bytes, lines, found) &&
           found == sum;
}

const TResultFileSum* SumOf(const TResultSetSums* set, const std::string& role) {
    if (set == nullptr)
        return nullptr;
    const auto it = set->Extras.find(role);
    return it == set->Extras.end() ? nullptr : &it->second;
}

// How the file of one role was found for a load.
struct TExtraFound {
    enum class THow { Recorded, Before, Outside, Left } How = THow::Left;
    TStringList Lines;
    std::string Told;  // for the user; empty for Recorded and Before
};

TExtraFound FindExtra(const TStoredSetFiles& files, const TExtraFileKind& kind,
                      const TResultFileSum& sum, const TResultFileSum* before,
                      const TStringList& dirs) {
    using THow = TExtraFound::THow;
    const std::string own = files.Extra(kind.Role);
    const std::uint64_t most = ExtraFileBound(kind.Role, dirs.size());
    const std::string later =
        "; it is left out until drive " + files.DriveLetter() + ": is scanned again.";
    TExtraFound found;
    // Lines read are only taken when the kind's checks pass.
    auto check = [&](THow how) {
        const std::string fault = kind.Fault ? kind.Fault(dirs, found.Lines) : std::string();
        if (fault.empty()) {
            found.How = how;
        } else {
            found.Lines.clear();
            found.Told = own + " is damaged (" + fault + ")" + later;
        }
    };
    const std::pair<const TResultFileSum*, THow> sets[] = {{&sum, THow::Recorded},
                                                           {before, THow::Before}};
    for (const auto& [wanted, how] : sets) {
        if (wanted == nullptr)
            continue;
        for (const std::string& path : {own, KeptName(own)}) {
            if (ReadIfSum(path, *wanted, most, found.Lines)) {
                check(how);
                return found;
            }
        }
    }
    TResultFileSum read;
    if (ReadExtraFile(own, most, found.Lines, read)) {
        check(THow::Outside);
        if (found.How == THow::Outside)
            found.Told = own +
                         " was changed outside the program since it was last saved; it "
                         "is used as it is now.";
        return found;
    }
    if (errno == ENOENT) {
        found.Told = own + " is missing" + later;
    } else if (errno == EFBIG && DataFileStampOf(own).Size == sum.Bytes) {
        // Recorded so: saved (or forged) larger than a file of its kind can be.
        found.Told =
            own + " is damaged (it is larger than " + std::to_string(most) + " bytes)" + later;
    } else {
        const std::string problem = DataFileProblem(own, errno);
        found.Told = own + " was changed outside the program and cannot be read (" +
                     problem.substr(own.size() + 2) + ")" + later;
    }
    return found;
}

}  // namespace

std::uint64_t ExtraFileBound(std::string_view role, std::size_t folders) {
    const TExtraFileKind* kind = FindExtraFileKind(role);
    return kind != nullptr && kind->MaxBytes ? kind->MaxBytes(folders) : kFileSize;
}

bool ExtraFileHasSum(const std::string& path, const TResultFileSum& sum, std::uint64_t most) {
    TResultFileSum found;
    return SizeCanMatch(path, sum, most) && SumOfFile(path, sum.Bytes, found) && found == sum;
}

TExtraSums ExtrasThere(const TStoredSetFiles& files, const TResultSetSums& set,
                       const TResultSetSums* same, std::size_t folders,
                       std::set<std::string>& inMain) {
    TExtraSums there;
    for (const auto& [role, sum] : set.Extras) {
        if (FindExtraFileKind(role) == nullptr)
            continue;
        const std::string own = files.Extra(role);
        const std::uint64_t most = ExtraFileBound(role, folders);
        for (const TResultFileSum* wanted : {&sum, SumOf(same, role)}) {
            if (wanted == nullptr)
                continue;
            if (ExtraFileHasSum(own, *wanted, most)) {
                inMain.insert(role);
                there.emplace(role, *wanted);
                break;
            }
            if (ExtraFileHasSum(KeptName(own), *wanted, most)) {
                there.emplace(role, *wanted);
                break;
            }
        }
    }
    return there;
}

std::string LoadExtraFiles(const TStoredSetFiles& files, const TResultSetSums& set,
                           const TResultSetSums* same, const TStringList& dirs,
                           TExtraLists& extras) {
    extras.clear();
    std::string told;
    bool before = false;
    for (const auto& [role, sum] : set.Extras) {
        const TExtraFileKind* kind = FindExtraFileKind(role);
        if (kind == nullptr)
            continue;
        TExtraFound found = FindExtra(files, *kind, sum, SumOf(same, role), dirs);
        if (found.How != TExtraFound::THow::Left)
            extras.emplace(role, std::move(found.Lines));
        before = before || found.How == TExtraFound::THow::Before;
        if (!found.Told.empty())
            told += (told.empty() ? "" : " ") + found.Told;
    }
    if (before)
        told = InterruptedSaveNotice(files) + (told.empty() ? "" : " ") + told;
    return told;
}

std::string InterruptedSaveNotice(const TStoredSetFiles& files) {
    return "The last save of the results of drive " + files.DriveLetter() +
           ": was interrupted; the results saved before it are shown.";
}
