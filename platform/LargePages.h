#pragma once
#include <string>

// Huge pages for the allocator's memory.
//
// Each fresh page of memory the program touches costs the kernel a fault,
// and in a virtual machine such a fault can cost ten microseconds or more:
// entering a folder of a hundred thousand files touched 17 000 new pages,
// and loading a drive of three million folders most of its 400 MiB. Backed
// by 2 MiB pages instead, the same memory faults 512 times less often.
//
// With the kernel's transparent huge pages in "madvise" mode (Debian's
// default) the C library backs its heaps with them only when told so before
// the program's own code runs, through the GLIBC_TUNABLES variable. So the
// program starts itself once more, at once, with glibc.malloc.hugetlb=1
// added, and in that second start puts the variable back as the user had
// it, so that what it starts in turn (an opened file's program, ssh) gets
// the user's environment.
//
// Nothing happens when the pages are "always" or "never" huge, when the
// program was started through the dynamic loader by hand, when the C
// library is older than 2.35 (it would not know the setting), or when
// GLIBC_TUNABLES already names glibc.malloc.hugetlb: setting it to 0 turns
// this off. The program is never started a third time.

// Starts the program again (argv, Envp: its arguments and environment) with
// the setting added; returns when it is the second start already, when
// nothing is to be done, or when the restart failed. Safe to call before
// the C and C++ libraries' own start-up code has run, from the program's
// .preinit_array (LARGE_PAGES_AT_START): the second start then costs little
// more than loading the program again.
void StartWithLargePages(char** argv, char** envp);
// In the second start: GLIBC_TUNABLES as the user had it. Call before any
// thread starts, once the C library has set up its environment
// (LARGE_PAGES_AT_START calls it from a constructor of the program's).
void RestoreUserTunables();

// Whether the kernel makes huge pages only for memory marked for them, from
// the text of /sys/kernel/mm/transparent_hugepage/enabled ("always
// [madvise] never").
bool HugePagesOnlyWhenAsked(const std::string& enabledText);

// Puts StartWithLargePages in the program's .preinit_array, which runs
// before any library's start-up code, and RestoreUserTunables in a
// constructor of the program's, which runs after the libraries' and before
// main; used once, in the file with main. (In the .preinit_array the C
// library has not set up its environment yet: the restart works on the
// environment the kernel handed over.)
#define LARGE_PAGES_AT_START                                                                 \
    namespace {                                                                              \
    void LargePagesAtStart(int, char** argv, char** envp) {                                  \
        StartWithLargePages(argv, envp);                                                     \
    }                                                                                        \
    [[gnu::section(".preinit_array"),                                                        \
      gnu::used]] void (*const kLargePagesAtStart)(int, char**, char**) = LargePagesAtStart; \
    [[gnu::constructor]] void UserTunablesBack() {                                           \
        RestoreUserTunables();                                                               \
    }                                                                                        \
    }
