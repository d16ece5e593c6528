#include <gtest/gtest.h>

#include <locale>

#include "platform/DirListing.h"
#include "platform/DriveForm.h"
#include "platform/DriveLetter.h"
#include "platform/DriveTable.h"
#include "tests/platform/TempDir.h"

namespace {

TDriveTable TestTable() {
    return TDriveTable({{'C', "/"}, {'T', "/srv/t"}}, {"/srv/t/ram"});
}

}  // namespace

TEST(DriveForm, EscapesOnlyTheFourBytes) {
    EXPECT_EQ(EscapeName("a\\b\rc\nd%e"), "a%5Cb%0Dc%0Ad%25e");
    EXPECT_EQ(EscapeName("cost $HOME x"), "cost $HOME x");
    EXPECT_EQ(EscapeName("caf\xe9"), "caf\xe9");
    EXPECT_EQ(UnescapeName("a%5Cb%0Dc%0Ad%25e"), "a\\b\rc\nd%e");
    EXPECT_EQ(UnescapeName("a%5cb%0d%0a"), "a\\b\r\n");
    // Other escapes are not ours: kept literally.
    EXPECT_EQ(UnescapeName("100%41%"), "100%41%");
    EXPECT_EQ(UnescapeName("%2F"), "%2F");
}

// Drive letters fold as the C locale folds them: the 26 ASCII letters and
// no other byte. A drive-form text gives its letter in upper case, a text
// that only looks like one gives none.
TEST(DriveForm, OnlyTheAsciiLettersFold) {
    int folded = 0;
    for (int c = 0; c < 256; ++c) {
        const char byte = static_cast<char>(c);
        EXPECT_EQ(UpperDriveLetter(byte), std::toupper(byte, std::locale::classic())) << c;
        folded += UpperDriveLetter(byte) != byte;
    }
    EXPECT_EQ(folded, 26);
    for (const char* text : {"c:", "c:\\", "c:\\a", "Z:"})
        EXPECT_EQ(DriveLetterOf(text), text[0] & ~0x20) << text;
    for (const char* text : {"", "c", "1:", "\xe9:", "c:a", "cc:", ":"})
        EXPECT_EQ(DriveLetterOf(text), 0) << text;
}

TEST(DriveForm, EveryByteRoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c)
        if (c != '/')
            all += static_cast<char>(c);
    const std::string escaped = EscapeName(all);
    EXPECT_EQ(escaped.find('\\'), std::string::npos);
    EXPECT_EQ(escaped.find('\r'), std::string::npos);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    EXPECT_EQ(UnescapeName(escaped), all);
    // Escaping an escaped name again stays reversible.
    EXPECT_EQ(UnescapeName(EscapeName(escaped)), escaped);
}

TEST(DriveForm, NativeToDriveForm) {
    const TDriveTable t = TestTable();
    EXPECT_EQ(NativeToDriveForm("/srv/t", t), "T:");
    EXPECT_EQ(NativeToDriveForm("/srv/t/", t), "T:");
    EXPECT_EQ(NativeToDriveForm("/srv/t/a b/c\\d", t), "T:\\a b\\c%5Cd");
    EXPECT_EQ(NativeToDriveForm("//srv//t/./a/", t), "T:\\a");
    EXPECT_EQ(NativeToDriveForm("/", t), "C:");
    EXPECT_EQ(NativeToDriveForm("/srv/tt", t), "C:\\srv\\tt");
    EXPECT_EQ(NativeToDriveForm("/srv/t/ram/x", t), std::nullopt);
    EXPECT_EQ(NativeToDriveForm("relative/x", t), std::nullopt);
    EXPECT_EQ(NativeToDriveForm("/srv/t/../etc", t), std::nullopt);
    EXPECT_EQ(NativeToDriveForm("", t), std::nullopt);
}

TEST(DriveForm, DriveFormToNative) {
    const TDriveTable t = TestTable();
    EXPECT_EQ(DriveFormToNative("T:", t), "/srv/t");
    EXPECT_EQ(DriveFormToNative("t:\\", t), "/srv/t");
    EXPECT_EQ(DriveFormToNative("T:\\a b\\c%5Cd", t), "/srv/t/a b/c\\d");
    EXPECT_EQ(DriveFormToNative("T:\\a\\", t), "/srv/t/a");
    EXPECT_EQ(DriveFormToNative("C:\\etc", t), "/etc");
    EXPECT_EQ(DriveFormToNative("C:", t), "/");
    // Nothing may step outside the drive or smuggle in a separator.
    EXPECT_EQ(DriveFormToNative("T:\\..\\etc", t), std::nullopt);
    EXPECT_EQ(DriveFormToNative("T:\\a\\.\\b", t), std::nullopt);
    EXPECT_EQ(DriveFormToNative("T:\\a\\\\b", t), std::nullopt);
    EXPECT_EQ(DriveFormToNative("T:\\a/../../etc", t), std::nullopt);
    EXPECT_EQ(DriveFormToNative(std::string("T:\\a\0b", 6), t), std::nullopt);
    EXPECT_EQ(DriveFormToNative("Q:\\a", t), std::nullopt);
    EXPECT_EQ(DriveFormToNative("T:a", t), std::nullopt);
    EXPECT_EQ(DriveFormToNative("/srv/t", t), std::nullopt);
    EXPECT_EQ(DriveLetterOf("t:\\x"), 'T');
    EXPECT_EQ(DriveLetterOf("1:\\x"), 0);
}

// Names with every awkward byte survive listing -> drive form -> native.
TEST(DriveForm, OddNamesRoundTripThroughTheFileSystem) {
    TTempDir dir;
    TScopedDriveTable table(TDriveTable({{'C', "/"}, {'T', dir.Path()}}));
    const std::vector<std::string> names = {"back\\slash", "cr\rname",   "lf\nname",   "100% done",
                                            "%5C literal", "cost $HOME", "  spaces  ", "caf\xe9",
                                            "\xff\xfe",    "Data",       "data"};
    for (const std::string& n : names)
        dir.MakeFile(n, static_cast<long long>(n.size()));
    std::vector<TDirEntry> entries;
    ASSERT_TRUE(ListFolder("T:\\", entries));
    ASSERT_EQ(entries.size(), names.size());
    for (const TDirEntry& e : entries) {
        const std::string form = "T:\\" + EscapeName(e.Name);
        EXPECT_EQ(form.find_first_of("\r\n", 3), std::string::npos);
        const auto native = DriveFormToNative(form);
        ASSERT_TRUE(native.has_value());
        EXPECT_EQ(*native, dir / e.Name);
        EXPECT_EQ(NativeToDriveForm(*native), form);
        EXPECT_EQ(e.Size, static_cast<long long>(e.Name.size()));
    }
}
