// The treemap's layout: squarified rows checked against a plain squarified
// layout written here from the published algorithm, and whole layouts of
// random trees checked for what a user sees: tiles inside their folder's
// inner rectangle within a pixel of the exact layout, no overlaps, no tile
// under 3 x 3 pixels, every pixel of a folder given to exactly one child.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

#include "tests/treemap/TreemapTestTree.h"
#include "views/treemap/TreemapLayout.h"
#include "views/treemap/TreemapSource.h"
#include "views/treemap/TreemapSquarify.h"

namespace {

// The reference: rows along the shorter side, an item joins the row while
// the row's worst ratio does not grow (Bruls, Huizing, van Wijk 2000).
double RefWorst(const std::vector<double>& row, double side) {
    double sum = 0, hi = 0, lo = 1e300;
    for (const double a : row) {
        sum += a;
        hi = std::max(hi, a);
        lo = std::min(lo, a);
    }
    return std::max(side * side * hi / (sum * sum), sum * sum / (side * side * lo));
}

std::vector<QRectF> ReferenceSquarify(std::vector<double> areas, QRectF free) {
    std::vector<QRectF> out;
    std::vector<double> row;
    auto layRow = [&] {
        double sum = 0;
        for (const double a : row)
            sum += a;
        if (free.width() >= free.height()) {
            const double w = sum / free.height();
            double y = free.top();
            for (const double a : row) {
                out.emplace_back(free.left(), y, w, a / w);
                y += a / w;
            }
            free.setLeft(free.left() + w);
        } else {
            const double h = sum / free.width();
            double x = free.left();
            for (const double a : row) {
                out.emplace_back(x, free.top(), a / h, h);
                x += a / h;
            }
            free.setTop(free.top() + h);
        }
        row.clear();
    };
    for (const double a : areas) {
        const double side = std::min(free.width(), free.height());
        std::vector<double> grown = row;
        grown.push_back(a);
        if (!row.empty() && RefWorst(grown, side) > RefWorst(row, side))
            layRow();
        row.push_back(a);
    }
    if (!row.empty())
        layRow();
    return out;
}

std::vector<std::int64_t> RandomSizes(std::mt19937& random) {
    std::uniform_int_distribution<int> count(1, 80), shift(0, 40), digit(1, 9);
    std::vector<std::int64_t> sizes(static_cast<std::size_t>(count(random)));
    for (auto& s : sizes)
        s = static_cast<std::int64_t>(digit(random)) << shift(random);
    std::sort(sizes.rbegin(), sizes.rend());
    return sizes;
}

bool Overlap(const QRectF& a, const QRectF& b) {
    const double eps = 1e-6;
    return a.left() < b.right() - eps && b.left() < a.right() - eps && a.top() < b.bottom() - eps &&
           b.top() < a.bottom() - eps;
}

}  // namespace

TEST(TreemapSquarify, MatchesAreasWithoutOverlapsAndIsNoWorseThanThePlainAlgorithm) {
    std::mt19937 random(44);
    for (int trial = 0; trial < 400; ++trial) {
        const std::vector<std::int64_t> sizes = RandomSizes(random);
        std::int64_t total = 0;
        for (const auto s : sizes)
            total += s;
        std::uniform_real_distribution<double> side(3.0, 2000.0);
        const QRectF area(side(random) / 10, side(random) / 10, side(random), side(random));
        const TSquarified laid = Squarify(sizes, total, area);
        ASSERT_EQ(laid.Rects.size(), sizes.size());
        const double scale = area.width() * area.height() / static_cast<double>(total);
        std::vector<double> areas;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const QRectF& r = laid.Rects[i];
            const double want = static_cast<double>(sizes[i]) * scale;
            areas.push_back(want);
            EXPECT_NEAR(r.width() * r.height(), want, 1e-6 * area.width() * area.height());
            const double eps = 1e-6;
            EXPECT_TRUE(r.left() >= area.left() - eps && r.right() <= area.right() + eps &&
                        r.top() >= area.top() - eps && r.bottom() <= area.bottom() + eps)
                << r.left() << " " << r.right() << " " << r.top() << " " << r.bottom() << " in "
                << area.left() << " " << area.right() << " " << area.top() << " " << area.bottom();
            for (std::size_t j = 0; j < i; ++j)
                ASSERT_FALSE(Overlap(r, laid.Rects[j])) << trial << ": " << i << " and " << j;
        }
        EXPECT_EQ(laid.Rects.front().topLeft(), area.topLeft()) << "the largest at the top left";
        // Equal up to the rounding of sums in floating point.
        EXPECT_LE(WorstAspect(laid.Rects),
                  WorstAspect(ReferenceSquarify(areas, area)) * (1 + 1e-6));
    }
}

TEST(TreemapSquarify, StopsAtTheFirstItemTooSmallAndLeavesItsAreaAsTheRest) {
    // 9 square pixels is the smallest area a 3 x 3 tile can have.
    const std::vector<std::int64_t> sizes{800, 100, 91, 8, 1};
    const TSquarified laid = Squarify(sizes, 1000, QRectF(0, 0, 100, 10), 9.0);
    ASSERT_EQ(laid.Rects.size(), 3u);
    EXPECT_NEAR(laid.Rest.width() * laid.Rest.height(), 9.0, 1e-9);
    // A total above the sizes' sum leaves the difference as the rest too.
    const TSquarified part = Squarify({50, 50}, 200, QRectF(0, 0, 20, 10));
    EXPECT_NEAR(part.Rest.width() * part.Rest.height(), 100.0, 1e-9);
}

namespace {

// Every child of every laid-out tile, checked against the exact layout of
// its parent's items in the parent's inner rectangle.
void CheckLayout(const TTreemapLayout& layout, const TTreemapSource& source, int trial) {
    std::vector<TTreemapItem> items;
    for (int p = 0; p < layout.Count(); ++p) {
        const TTreemapTile& parent = layout.Tile(p);
        if (parent.ChildCount == 0)
            continue;
        const QRect inner = TTreemapLayout::Inner(parent.Rect, parent.Depth);
        std::int64_t total = parent.Item.Size;
        if (p == 0) {
            items = source.TopItems();
            std::int64_t sum = 0;
            for (const auto& i : items)
                sum += i.Size;
            total = std::max(total, sum);
        } else {
            source.Children(parent.Item.Ref, items);
        }
        std::vector<std::int64_t> sizes;
        for (const auto& i : items)
            sizes.push_back(i.Size);
        const TSquarified exact = Squarify(sizes, total, QRectF(inner), 9.0);
        std::vector<QRectF> wanted = exact.Rects;
        if (!exact.Rest.isEmpty())
            wanted.push_back(exact.Rest);
        long covered = 0;
        std::size_t w = 0;
        for (int c = parent.FirstChild; c < parent.FirstChild + parent.ChildCount; ++c) {
            const TTreemapTile& tile = layout.Tile(c);
            const QRect r = tile.Rect;
            // Empty after rounding: not made.
            while (w < wanted.size() && RoundedRect(wanted[w]).isEmpty())
                ++w;
            ASSERT_LT(w, wanted.size());
            const QRectF& e = wanted[w++];
            ASSERT_LE(std::abs(r.left() - e.left()), 1.0) << trial;
            ASSERT_LE(std::abs(r.top() - e.top()), 1.0) << trial;
            ASSERT_LE(std::abs(r.left() + r.width() - e.right()), 1.0) << trial;
            ASSERT_LE(std::abs(r.top() + r.height() - e.bottom()), 1.0) << trial;
            ASSERT_TRUE(inner.contains(r)) << trial;
            if (tile.Item.Kind != TTileKind::Rest) {
                ASSERT_GE(r.width(), 3);
                ASSERT_GE(r.height(), 3);
            }
            for (int d = parent.FirstChild; d < c; ++d)
                ASSERT_FALSE(layout.Tile(d).Rect.intersects(r)) << trial << ": " << c << "/" << d;
            covered += static_cast<long>(r.width()) * r.height();
        }
        EXPECT_EQ(covered, static_cast<long>(inner.width()) * inner.height())
            << "every pixel of a folder belongs to one child";
    }
}

}  // namespace

TEST(TreemapLayout, RandomTreesLayOutWithinAPixelOfTheExactLayoutWithoutOverlaps) {
    std::mt19937 random(4);
    for (int trial = 0; trial < 60; ++trial) {
        const TTestTree tree = MakeTestTree(random, 20 + trial * 15);
        TTreemapSource source(tree.Dirs, tree.Sizes);
        source.SetFiles(tree.Files, false);
        std::vector<TTreemapItem> top;
        source.Children(0, top);
        // The current folder's rows: its subfolders and its files.
        std::vector<TTreemapTop> rows;
        for (const TTreemapItem& item : top) {
            if (item.Kind == TTileKind::OwnFiles)
                continue;
            TTreemapTop row;
            row.Folder = item.Kind == TTileKind::Folder;
            row.Path = row.Folder ? std::string(tree.Dirs[static_cast<std::size_t>(item.Ref)])
                                  : source.File(item.Ref).Path;
            row.Size = item.Size;
            row.Stored = row.Folder ? item.Ref : -1;
            rows.push_back(row);
        }
        source.SetTop("C:\\", 0, std::stoll(std::string(tree.Sizes[0])), rows);
        std::uniform_int_distribution<int> side(16, 900);
        TTreemapLayout layout;
        layout.Build(source, QSize(side(random), side(random)));
        CheckLayout(layout, source, trial);
        // The tile under a point is the deepest that holds it.
        for (int k = 0; k < 50; ++k) {
            const QPoint p(static_cast<int>(random() % layout.Size().width()),
                           static_cast<int>(random() % layout.Size().height()));
            const int at = layout.TileAt(p);
            ASSERT_GE(at, 0);
            ASSERT_TRUE(layout.Tile(at).Rect.contains(p));
            const TTreemapTile& t = layout.Tile(at);
            for (int c = t.FirstChild; c >= 0 && c < t.FirstChild + t.ChildCount; ++c) {
                if (layout.Tile(c).Item.Kind != TTileKind::Rest) {
                    ASSERT_FALSE(layout.Tile(c).Rect.contains(p));
                }
            }
        }
    }
}

// The children found by bisection in the stored list are those a search of
// the whole list finds: every direct subfolder once, the folder's largest
// files, and its other bytes as one item.
TEST(TreemapSource, ChildrenAreThoseOfAWholeListSearch) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 30; ++trial) {
        const TTestTree tree = MakeTestTree(random, 50 + trial * 40);
        TTreemapSource source(tree.Dirs, tree.Sizes);
        source.SetFiles(tree.Files, false);
        std::vector<TTreemapItem> items;
        for (std::size_t f = 0; f < tree.Dirs.size(); ++f) {
            const std::string folder(tree.Dirs[f]);
            std::multiset<std::pair<int, std::int64_t>> want;
            std::int64_t known = 0;
            for (std::size_t k = 0; k < tree.Dirs.size(); ++k) {
                const std::string path(tree.Dirs[k]);
                if (path.size() > folder.size() + 1 &&
                    path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '\\' &&
                    path.find('\\', folder.size() + 1) == std::string::npos) {
                    want.insert({static_cast<int>(k), std::stoll(std::string(tree.Sizes[k]))});
                    known += std::stoll(std::string(tree.Sizes[k]));
                }
            }
            for (std::size_t i = 0; i < tree.Files.size(); ++i) {
                if (tree.Files[i].Path.rfind(folder + "\\", 0) == 0 &&
                    tree.Files[i].Path.find('\\', folder.size() + 1) == std::string::npos) {
                    want.insert({-1 - static_cast<int>(i), tree.Files[i].Size});
                    known += tree.Files[i].Size;
                }
            }
            const std::int64_t own = std::stoll(std::string(tree.Sizes[f])) - known;
            source.Children(static_cast<int>(f), items);
            std::multiset<std::pair<int, std::int64_t>> got;
            std::int64_t ownGot = 0;
            for (const TTreemapItem& item : items) {
                if (item.Kind == TTileKind::OwnFiles)
                    ownGot += item.Size;
                else
                    got.insert(
                        {item.Kind == TTileKind::File ? -1 - item.Ref : item.Ref, item.Size});
            }
            ASSERT_EQ(got, want) << folder;
            EXPECT_EQ(ownGot, std::max<std::int64_t>(own, 0)) << folder;
            EXPECT_TRUE(
                std::is_sorted(items.begin(), items.end(),
                               [](const auto& a, const auto& b) { return a.Size > b.Size; }));
        }
    }
}

// A first picture that leaves small folders whole opens every folder of at
// least the area given, and the whole layout made after it from the same
// source (its folders read already) is the layout a fresh source makes.
TEST(TreemapLayout, AFirstPassLeavesOnlySmallFoldersWholeAndTheWholeLayoutFollowsUnchanged) {
    std::mt19937 random(49);
    int partial = 0;
    for (int trial = 0; trial < 20; ++trial) {
        const TTestTree tree = MakeTestTree(random, 200 + trial * 100);
        const QSize size(200 + static_cast<int>(random() % 700),
                         200 + static_cast<int>(random() % 500));
        const int minOpen = 16 + static_cast<int>(random() % 400);
        auto fed = [&tree](TTreemapSource& source) {
            source.SetFiles(tree.Files, false);
            std::vector<TTreemapItem> top;
            source.Children(0, top);
            std::vector<TTreemapTop> rows;
            for (const TTreemapItem& item : top)
                if (item.Kind != TTileKind::OwnFiles) {
                    TTreemapTop row;
                    row.Folder = item.Kind == TTileKind::Folder;
                    row.Path = row.Folder
                                   ? std::string(tree.Dirs[static_cast<std::size_t>(item.Ref)])
                                   : source.File(item.Ref).Path;
                    row.Size = item.Size;
                    row.Stored = row.Folder ? item.Ref : -1;
                    rows.push_back(row);
                }
            source.SetTop("C:\\", 0, std::stoll(std::string(tree.Sizes[0])), rows);
        };
        TTreemapSource source(tree.Dirs, tree.Sizes);
        fed(source);
        TTreemapLayout first;
        first.Build(source, size, minOpen);
        CheckLayout(first, source, trial);
        bool leftWhole = false;
        for (const TTreemapTile& tile : first.Tiles()) {
            const QRect inner = TTreemapLayout::Inner(tile.Rect, tile.Depth);
            if (tile.Item.Kind != TTileKind::Folder || tile.Depth == 0 || tile.ChildCount > 0 ||
                inner.width() < TTreemapLayout::kMinTile ||
                inner.height() < TTreemapLayout::kMinTile)
                continue;
            const int area = inner.width() * inner.height();
            leftWhole = leftWhole || area < minOpen;
            // A folder of at least the area is opened unless nothing in it is
            // big enough to be drawn.
            if (area >= minOpen) {
                std::vector<TTreemapItem> items;
                source.Children(tile.Item.Ref, items,
                                9 * 0.999 * static_cast<double>(tile.Item.Size) / area);
                EXPECT_TRUE(items.empty()) << trial;
            }
        }
        EXPECT_EQ(first.Partial(), leftWhole) << trial;
        partial += first.Partial() ? 1 : 0;
        TTreemapLayout whole, fresh;
        whole.Build(source, size);
        TTreemapSource again(tree.Dirs, tree.Sizes);
        fed(again);
        fresh.Build(again, size);
        EXPECT_FALSE(whole.Partial());
        ASSERT_EQ(whole.Count(), fresh.Count()) << trial;
        for (int i = 0; i < whole.Count(); ++i) {
            ASSERT_EQ(whole.Tile(i).Rect, fresh.Tile(i).Rect) << trial << " " << i;
            ASSERT_EQ(whole.Tile(i).Item.Ref, fresh.Tile(i).Item.Ref) << trial << " " << i;
        }
    }
    EXPECT_GT(partial, 10) << "most first passes leave small folders whole";
}

// A scan that holds every file gives each folder's files through a lister:
// a folder's items are those the same files give as a stored list, and the
// folder's files are asked for once.
TEST(TreemapSource, ListedFilesGiveTheItemsTheSameFilesGiveAsAStoredList) {
    std::mt19937 random(50);
    for (int trial = 0; trial < 10; ++trial) {
        const TTestTree tree = MakeTestTree(random, 100 + trial * 50);
        TTreemapSource stored(tree.Dirs, tree.Sizes);
        stored.SetFiles(tree.Files, false);
        TTreemapSource listed(tree.Dirs, tree.Sizes);
        int asked = 0;
        listed.SetFileLister(
            [&tree, &asked](const std::string& folder, std::vector<TLargeFile>& out) {
                ++asked;
                for (const TLargeFile& file : tree.Files)
                    if (file.Path.rfind(folder + "\\", 0) == 0 &&
                        file.Path.find('\\', folder.size() + 1) == std::string::npos)
                        out.push_back(file);
            },
            false);
        std::vector<TTreemapItem> a, b;
        for (std::size_t f = 0; f < tree.Dirs.size(); ++f) {
            const double minSize = static_cast<double>(random() % 4) * 1e4;
            stored.Children(static_cast<int>(f), a, minSize);
            listed.Children(static_cast<int>(f), b, minSize);
            ASSERT_EQ(a.size(), b.size()) << trial << " " << f;
            for (std::size_t i = 0; i < a.size(); ++i) {
                EXPECT_EQ(a[i].Kind, b[i].Kind);
                EXPECT_EQ(a[i].Size, b[i].Size);
                if (a[i].Kind == TTileKind::File) {
                    EXPECT_EQ(stored.File(a[i].Ref).Path, listed.File(b[i].Ref).Path);
                }
            }
        }
        EXPECT_EQ(asked, static_cast<int>(tree.Dirs.size())) << "each folder is listed once";
    }
}
