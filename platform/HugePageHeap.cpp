// The heap of the desktop program and of the benchmarks that measure it:
// jemalloc, linked in place of the C library's allocator, told here to mark
// all the memory it maps for the kernel's transparent huge pages.
//
// Each fresh page of memory the program touches costs the kernel a fault,
// and in a virtual machine such a fault can cost ten microseconds or more:
// entering a folder of a hundred thousand files touches some 17 000 new
// pages for its entries, sort keys, items and rows, and loading a stored
// drive of three million folders most of its 400 MiB of lists. Backed by
// 2 MiB pages, the same memory faults 512 times less often. Debian's
// kernels make such pages only for memory marked with madvise(MADV_HUGEPAGE)
// ("madvise" in /sys/kernel/mm/transparent_hugepage/enabled), which the C
// library's allocator does only when told before the program is loaded;
// jemalloc reads the setting below from the program itself, at its first
// allocation, so the program is started once, as the user started it.
//
// "thp:always" marks the memory jemalloc maps for objects; "metadata_thp:auto"
// lets its own bookkeeping have huge pages once it grows past a few.
// "narenas:1" keeps one heap for all threads instead of four per processor:
// each heap of its own would hold huge pages its threads hardly use (the
// one-folder window took 68 MiB with the default, 50 with one heap, where
// glibc's took 46), and what the preload's threads free after loading a
// drive is then the memory the window's thread reuses for its first
// listings, already faulted in. Each thread still has a cache of its own
// for small blocks. "dirty_decay_ms:-1" keeps freed pages for reuse instead
// of giving them back to the kernel after a while: the first entry into a
// folder of 100 000 files otherwise faulted and zeroed fresh pages for a
// quarter of its time and took 25 % longer than with the C library's heap,
// which keeps them as well; the memory a stored drive holds is the same
// either way (1.54 times its result files). Nothing changes where the
// kernel makes huge pages always or never. MALLOC_CONF in the environment,
// read after this, overrides it: MALLOC_CONF=thp:default turns the marks
// off.
//
// Linked as an object of its own into each program that wants it (a symbol
// in a static library that nothing refers to would be left out); never into
// a sanitizer build, whose allocator stands in for every other.

// jemalloc's compiled-in options: the program's definition takes the place
// of the library's empty default.
extern "C" const char* malloc_conf;
const char* malloc_conf = "thp:always,metadata_thp:auto,narenas:1,dirty_decay_ms:-1";
