#pragma once
// How many threads walk a folder tree. On a cold cache the walk waits for
// the disk far more than it computes, and a solid-state or virtual disk
// answers many requests at once, so the walk keeps several listings and
// lookups in flight per core; a spinning disk gets one thread per core, up
// to two, so that its head is not sent back and forth between many places.
// COBALTQUARRY_WALK_THREADS overrides the count for experiments.
#include <string>

#include "platform/DiskKind.h"

// The variable that overrides the choice ("1" walks on one thread).
inline constexpr const char* kWalkThreadsVariable = "COBALTQUARRY_WALK_THREADS";
// The most threads a walk uses, whatever it is told.
inline constexpr int kMaxWalkThreads = 256;

// The count for Cores usable CPUs and a disk of the given kind; Override is
// the variable's text (empty when unset; ignored unless a whole number from
// 1 to kMaxWalkThreads, blanks around it allowed).
int ChooseWalkThreads(int cores, TDiskKind kind, const std::string& override);

// The count for walking NativeFolder on this machine, now.
int WalkThreadsFor(const std::string& nativeFolder);

// Of Threads, how many walk while the walk reads nothing from a disk (see
// WalkHelpers.h): two per core, as a warm walk on more only trades places
// on the cores. All of them when the variable gives the count.
int WarmWalkThreads(int threads);
