#pragma once
// The walk of a folder tree: lists every folder once, queues its subfolders
// and adds up the bytes of its own files per filter part.
//
// Links are never followed and a folder that is the root of another mount
// is not entered, so a walk ends and stays on its drive. A file with several
// hard links counts once, in the folder whose path sorts first. Beside each
// folder's own bytes the walk keeps the bytes its files take on the disk
// (TFolderTree::OwnDisk; folders' own blocks are left out, as their sizes
// are), under the same hard-link rule.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileSink.h"
#include "engine/FolderTree.h"
#include "engine/WalkCounters.h"

class TExcludeRules;

struct TWalkSettings {
    std::string Directory;              // drive form, as given
    std::vector<std::string> Patterns;  // non-empty filter parts
    std::uint32_t Mask = 0;             // attribute bits that may take part
    bool StrictRO = false;
    bool Recurse = false;
    bool Sorted = false;
    // Called for every folder before it gets its entries, with the path and
    // a trailing backslash; setting Abort ends the walk (the folder gets no
    // entry).
    std::function<void(const std::string& path, bool& abort)> OnNewPath;
    const std::atomic<bool>* Cancel = nullptr;
    // Counts the folders, files and bytes listed so far.
    TWalkCounters* Progress = nullptr;
    // Walk with several threads: only when nothing observes the order
    // (no OnNewPath, Sorted off). The tree then records the order a
    // sequential breadth-first walk would have had.
    int Threads = 1;
    // Of those, the threads that walk while nothing is read from a disk
    // (see WalkHelpers.h); 0 starts all of them at once.
    int WarmThreads = 0;
    // Optional: a sink per walking thread that sees every file taking part
    // (see FileSink.h); after the walk the merged sink is put in
    // *MergedSink.
    TFileSinkMaker MakeSink;
    std::unique_ptr<TFileSink>* MergedSink = nullptr;
    // Optional exclude rules: an item they exclude is neither counted nor
    // entered (see ExcludeRules.h); the root itself is always walked.
    const TExcludeRules* Exclude = nullptr;
};

// Walks as the settings say; Abort reports an abort through OnNewPath. An
// exception that ends any of the walking threads (memory running out, say)
// is thrown from here, on the calling thread, once every one has ended.
void WalkFolders(const TWalkSettings& settings, TFolderTree& tree, bool& abort);
