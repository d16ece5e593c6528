#pragma once
// The kinds of extra per-drive files a result set may hold beside Percents,
// Dirs and DirSizes. Each is a list of text lines (saved with CR LF, summed
// in the manifest, kept with the set before a save and in the history), so
// a kind only says how its lines are checked and how a folder rescan
// changes them; what the lines mean is the kind's own business.
//
// To add a kind, give it a role (letters only, the file's name after the
// drive letter) and its functions, and list it in ExtraFileKinds()
// (ExtraFileKinds.cpp). The store then saves, loads, keeps and merges it
// with the set; with a MakeSink, every scan's analyzer runs its collector
// and hands its lines on with the run's other extra lists
// (TAnalizeDisk::TakeExtras), which the scans store with their sets.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/FileSink.h"
#include "engine/StringList.h"

struct TExtraFileKind {
    std::string Role;
    // Why lines loaded from a file cannot be used with the set's Dirs, as
    // the result lists' faults are told ("line 3 is negative"); empty when
    // they can. A file with a fault is left out (the user is told), never
    // taken for a damaged set: the three lists load without it.
    std::function<std::string(const TStringList& dirs, const TStringList& lines)> Fault;
    // The most bytes a file of the kind may have for a set of this many
    // folders. A file larger than that is not read past it, so that a file
    // put in its place (a sparse file of gigabytes) cannot hold up a load.
    std::function<std::uint64_t(std::size_t folders)> MaxBytes;
    // Changes the stored lines as a folder rescan changes the set: dirs is
    // the set's Dirs before the merge, rescanDirs the rescan's (its first
    // entry the rescanned folder), rescan the rescan's own lines of this
    // kind. False when the lines cannot follow: they are dropped.
    std::function<bool(const TStringList& dirs, TStringList& stored, const TStringList& rescanDirs,
                       const TStringList& rescan)>
        Merge;
    // Optional: the collector of a walk that makes the kind's lines (see
    // FileSink.h); every analyzer runs it unless told to use its own sink.
    TFileSinkMaker MakeSink;
};
