// The desktop program's heap gives the program's large lists memory the
// kernel may back with huge pages while it makes them only for memory marked
// for them (the "madvise" mode): what /proc/self/smaps says of the mapping
// that holds each list.
#include <gtest/gtest.h>
#include <sys/mman.h>

#include <QString>
#include <QStringList>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string KernelMode() {
    std::ifstream in("/sys/kernel/mm/transparent_hugepage/enabled");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The THPeligible flag of the mapping that holds Address, or -1 when no
// mapping holds it.
int HugePageEligible(const void* address) {
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    std::ifstream in("/proc/self/smaps");
    std::string line;
    bool inside = false, found = false;
    while (std::getline(in, line)) {
        unsigned long lo = 0, hi = 0;
        // A mapping's first line starts "lo-hi perms ..."; its fields are
        // "Name:   value".
        if (std::sscanf(line.c_str(), "%lx-%lx ", &lo, &hi) == 2 && line.find(':') > 12) {
            inside = lo <= at && at < hi;
            found = found || inside;
        } else if (inside && line.rfind("THPeligible:", 0) == 0) {
            return std::stoi(line.substr(12));
        }
    }
    return found ? 0 : -1;
}

// Why the marks cannot be seen here, or nothing when they can.
std::string WhyMarksDoNotShow() {
#if !defined(CQ_HUGE_PAGE_HEAP)
    return "built without the huge-page heap (a sanitizer build)";
#endif
    if (KernelMode().find("[madvise]") == std::string::npos)
        return "the kernel's huge pages are not in madvise mode";
    return {};
}

// Lists of the kinds and sizes the program makes: a listing's entries and
// sort keys (from a few hundred KiB to tens of MiB), a drive's folder names
// (a string list's buffer and its strings). Memory nobody marked, mapped
// beside them, is not eligible: the flag read is the mark's, not the mode's.
TEST(HugePageHeap, TheProgramsListsMayHaveHugePages) {
    if (const std::string why = WhyMarksDoNotShow(); !why.empty())
        GTEST_SKIP() << why;
    const std::size_t kib = 1024;
    std::vector<std::vector<std::uint64_t>> lists;
    for (std::size_t bytes : {300 * kib, 4 * kib * kib, 48 * kib * kib})
        lists.emplace_back(bytes / sizeof(std::uint64_t), 1);
    QStringList names;
    for (int i = 0; i < 200'000; ++i)
        names.append(QStringLiteral("folder %1").arg(i));
    for (const auto& list : lists) {
        SCOPED_TRACE(list.size() * sizeof(std::uint64_t));
        EXPECT_EQ(HugePageEligible(list.data()), 1);
    }
    EXPECT_EQ(HugePageEligible(names.constData()), 1);
    EXPECT_EQ(HugePageEligible(names.back().constData()), 1);

    const std::size_t size = 8 * kib * kib;
    void* plain = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(plain, MAP_FAILED);
    static_cast<char*>(plain)[0] = 1;
    EXPECT_EQ(HugePageEligible(plain), 0);
    munmap(plain, size);
}

}  // namespace
