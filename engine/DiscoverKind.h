#pragma once
// The extra file of the Discover data ("Discover", "CDiscover" for drive
// C:): the drive's largest files and file types in the text of
// DiscoverData.h, one line per stored line. Every scan's walk collects it
// (TDiscoverSink); a folder rescan updates it by TDiscoverData::MergeRescan.
#include "engine/DiscoverRole.h"
#include "engine/ExtraFileKind.h"

// The kind as the store registers it.
TExtraFileKind DiscoverKind();
