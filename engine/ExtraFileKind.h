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
#include <functional>
#include <string>

#include "engine/FileSink.h"
#include "engine/StringList.h"

struct TExtraFileKind {
    std::string Role;
    // Whether lines loaded from a file may be used with the set's Dirs; a
    // file that does not fit is treated as not known, never as a damaged set.
    std::function<bool(const TStringList& dirs, const TStringList& lines)> Fits;
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
