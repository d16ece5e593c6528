#pragma once
// How a drive's Discover data (DiscoverData.h) follows an item command
// (Rename, Move to Trash, Paste) instead of being thrown away: one function
// per kind of step, each leaving the data equal to what a fresh scan of the
// drive would store, down to each list's floor. Where a list cannot know
// something for certain after a step (a full list lost a file and does not
// know the next one; a moved file may now sort before its end by path), it
// gives that size up and says so through its floor, as a folder rescan
// does (TDiscoverData::MergeRescan).
//
// Paths are in drive form ("C:\a\b"), the item's own path, not a folder
// around it. An item's data ("measured") is what CollectItemDiscover
// collects of it where it is, with the same collectors as a scan and every
// type listed. Nothing here but CollectItemDiscover looks at the disk.
//
// The type table stays exact as long as the drive's table lists every type
// (its "other types" are empty, true below kKeptTypes types) and the item's
// measured data lists all of its own: then every total and every type's
// list is what a scan would give. Otherwise the listed types' totals stay
// exact but which types a scan would list by name may differ until the
// next scan. Totals never go below zero. A file with several hard links
// counts where the walk that measured it met it (see FollowPlan.h).
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/DiscoverData.h"

// An item moved within the drive from From to To (a rename, a cut and
// paste, a move to a trash on the same drive): every listed path at or
// below From is renamed to below To and the lists are put in order again.
// For a file, File describes it at its new place (Path To, its size, its
// allocated bytes and time; Largest.front() of its measured data): when its
// extension changed it moves from one type to the other, in the totals and
// the types' lists. For a folder, File is null: no type changes.
void DiscoverFollowMove(TDiscoverData& data, std::string_view from, std::string_view to,
                        const TLargeFile* file);

// An item left the drive (To empty: deleted, or moved to a trash or place
// on another drive): the listed paths at or below From are dropped, and the
// type table loses what Item (its measured data, measured before it left or
// at its new place; only its totals are read) held.
void DiscoverFollowLeave(TDiscoverData& data, std::string_view from, const TDiscoverData& item);
// The same for an item that could not be measured (its new place has no
// drive form and it is gone from the old one): the listed paths are
// dropped and the type table, which cannot lose what it does not know,
// stays as it was, marked as of the last drive scan (as after a rescan).
void DiscoverFollowLeave(TDiscoverData& data, std::string_view from);

// An item arrived (pasted, or moved in from off the drive): Item, its
// measured data at its place on this drive, is merged in: its files into
// the largest, the types' and the old files' lists, its totals into the
// type table. Item's old files count from its own scan time, which must not
// be earlier than Data's (pass Data.ScanTime to CollectItemDiscover).
void DiscoverFollowArrive(TDiscoverData& data, const TDiscoverData& item);

// The Discover data of one file or folder (drive form), collected as a scan
// collects it, with every type listed and the old files counted from
// ScanTime (the stored data's). False when the item cannot be read.
bool CollectItemDiscover(const std::string& driveForm, std::int64_t scanTime, TDiscoverData& item);
