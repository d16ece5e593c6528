// The scanner's --treemap and --size: the limits of a side on both sides,
// what goes with what, and the picture the real program draws.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>

#include "tools/scan/ScanOptions.h"
#include "tools/scan/ScanTreemap.h"

TEST(ScanTreemapOptions, SidesFromSixteenToEightThousandOneHundredNinetyTwo) {
    struct TCase {
        std::string size;
        bool taken;
    };
    for (const TCase& c :
         {TCase{"16x16", true}, TCase{"15x600", false}, TCase{"800x15", false},
          TCase{"8192x8192", true}, TCase{"8193x600", false}, TCase{"800x8193", false},
          TCase{"800X600", true}, TCase{"800x", false}, TCase{"x600", false},
          TCase{"-800x600", false}, TCase{"800x600x2", false}, TCase{"00016x16", true}}) {
        TScanOptions o;
        std::string error;
        EXPECT_EQ(ParseScanOptions({"--treemap", "t.png", "--size", c.size, "/"}, o, error),
                  c.taken)
            << c.size;
        if (c.taken) {
            QSize size;
            ASSERT_TRUE(ParseTreemapSize(c.size, size));
            EXPECT_EQ(QSize(o.TreemapWidth, o.TreemapHeight), size);
        } else {
            EXPECT_NE(error.find("16 to 8192"), std::string::npos) << error;
        }
    }
    TScanOptions plain;
    std::string error;
    ASSERT_TRUE(ParseScanOptions({"--treemap", "t.PNG", "/"}, plain, error)) << error;
    EXPECT_EQ(plain.TreemapFile, "t.PNG");
    EXPECT_EQ(QSize(plain.TreemapWidth, plain.TreemapHeight), QSize(800, 600));
    for (const std::vector<std::string>& refused :
         {std::vector<std::string>{"--size", "800x600", "/"},
          {"--treemap", "t.jpg", "/"},
          {"--treemap", "t.png", "--export", "e.json", "/"},
          {"--treemap", "t.png", "--changes", "/"},
          {"--treemap", "t.png", "--stored", "--largest", "3", "/"}}) {
        TScanOptions o;
        EXPECT_FALSE(ParseScanOptions(refused, o, error)) << refused[0] << " " << refused[1];
    }
    EXPECT_NE(ScanUsage().find("--treemap FILE"), std::string::npos);
    EXPECT_NE(ScanUsage().find("--size WxH"), std::string::npos);
}

// The real program draws the treemap of a scanned folder at the size asked
// for; a folder of one file is one tile, lit from the top left.
TEST(ScanTreemap, TheProgramDrawsTheFoldersTreemap) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkpath("tree/one"));
    QFile file(dir.filePath("tree/one/big.iso"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(3 << 20));
    file.close();
    const QString png = dir.filePath("map.png");
    const std::string command = std::string("XDG_DATA_HOME='") + dir.path().toStdString() +
                                "/data' '" CQ_SCAN_BINARY "' --treemap '" + png.toStdString() +
                                "' --size 320x200 '" + dir.filePath("tree").toStdString() +
                                "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    QImage map;
    ASSERT_TRUE(map.load(png, "PNG"));
    EXPECT_EQ(map.size(), QSize(320, 200));
    EXPECT_GT(map.pixelColor(80, 50).lightness(), map.pixelColor(240, 150).lightness());
}
