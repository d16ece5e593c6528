#pragma once
// Where the C library's allocator takes large blocks from.

// Makes blocks of up to 32 MiB come from the heap like small ones, from the
// start. By default the allocator maps each block of more than 128 KiB
// afresh and unmaps it when freed, until the first such free raises that
// limit to the freed block's size. Until then every large list the window
// makes and drops again (a folder's entries, their sort keys, the bar
// list's texts) hands its pages back, and the next lists, the rows made
// right after, fault in new ones: the first entry into a folder of a
// hundred thousand files cost a tenth more than the second for it.
// Blocks past 32 MiB are still mapped alone and given back at once, and
// up to 64 MiB free at the top of the heap are kept for the next lists, as
// the allocator would keep them after that first free.
void KeepLargeBlocksInHeap();
