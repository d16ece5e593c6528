#pragma once
// The extra file of allocated bytes per folder ("DiskSizes"): one line per
// entry of Dirs, in the same order, each the folder's total of the bytes
// its files take on the disk (st_blocks * 512), hard links once, folders'
// own blocks left out; the same totals DirSizes holds for file sizes.
#include "engine/ExtraFileKind.h"

constexpr std::string_view kDiskSizesRole = "DiskSizes";

// The kind as the store registers it.
TExtraFileKind DiskSizeKind();

// A file whose allocated bytes are far below its size: under half of it,
// and at least 1 MiB less (a small file's last block is no sparse file).
bool LooksSparse(std::int64_t size, std::int64_t allocated);
