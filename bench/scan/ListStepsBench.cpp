// The steps after the walk on 1 000 000 synthetic folders: making the sorted
// lists from the folder tree, the reference quicksort of lists in walk
// order (its peer: std::sort of the same lists), the first-letter index, the
// aggregation and the percentages (linear forms, and the plain candidate
// scan on a smaller list for comparison).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>

#include "engine/DirAggregate.h"
#include "engine/DirOrder.h"
#include "engine/FolderTree.h"

namespace {

constexpr int kFolders = 1'000'000;

// A tree shaped like a real disk: uneven fan-out, most folders 5 to 8
// levels deep, names with spaces, mixed case and numbers.
TFolderTree MakeTree(int folders) {
    static const char* kWords[] = {"data", "Report", "img",         "photo", "backup",  "src",
                                   "lib",  "notes",  "final draft", "TODO",  "archive", "x"};
    std::mt19937 rng(11);
    TFolderTree tree;
    tree.Reset("C:", 1);
    std::vector<std::uint32_t> open{0};
    std::int64_t own = 0;
    int seq = 0;
    for (size_t next = 0; static_cast<int>(tree.Nodes.size()) < folders && next < open.size();
         ++next) {
        const std::uint32_t parent = open[next];
        const int children = std::min<int>(folders - static_cast<int>(tree.Nodes.size()),
                                           rng() % 4 == 0 ? 1 + rng() % 40 : rng() % 4);
        std::vector<std::string> names;
        for (int c = 0; c < children; ++c)
            names.push_back(std::string(kWords[rng() % 12]) + (rng() % 2 ? " " : "_") +
                            std::to_string(++seq));
        const std::uint32_t first = tree.AddChildren(parent, names);
        for (int c = 0; c < children; ++c)
            open.push_back(first + c);
    }
    for (std::uint32_t n = 0; n < tree.Nodes.size(); ++n) {
        own = static_cast<std::int64_t>(rng() % 5 == 0 ? 0 : rng() % 100'000'000);
        tree.SetListed(n, &own);
    }
    tree.WalkOrder = tree.BreadthFirstOrder();
    return tree;
}

const TFolderTree& Tree() {
    static const TFolderTree tree = MakeTree(kFolders);
    return tree;
}

struct Lists {
    TStringList Dirs, Sizes, Percents;
    TDirIndex Index;
};

const Lists& Sorted() {
    static const Lists lists = [] {
        Lists l;
        std::atomic<bool> cancel{false};
        Tree().EmitSorted(l.Dirs, l.Sizes, l.Percents, cancel);
        BuildDirIndex(l.Dirs, l.Index);
        return l;
    }();
    return lists;
}

void BM_SortFromTree(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    for (auto _ : state) {
        Lists l;
        Tree().EmitSorted(l.Dirs, l.Sizes, l.Percents, cancel);
        benchmark::DoNotOptimize(l.Dirs.RawBytes().data());
    }
}

void BM_ListsInWalkOrder(benchmark::State& state) {
    for (auto _ : state) {
        Lists l;
        Tree().EmitInOrder(Tree().WalkOrder, l.Dirs, l.Sizes, l.Percents);
        benchmark::DoNotOptimize(l.Dirs.RawBytes().data());
    }
}

void BM_QuickSortOfWalkOrder(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    Lists base;
    Tree().EmitInOrder(Tree().WalkOrder, base.Dirs, base.Sizes, base.Percents);
    for (auto _ : state) {
        state.PauseTiming();
        Lists l = base;
        state.ResumeTiming();
        SortDirLists(l.Dirs, l.Sizes, l.Percents, cancel);
    }
}

// Peer: the standard library's sort of the same paths (no parallel lists).
void BM_PeerStdSortOfWalkOrder(benchmark::State& state) {
    Lists base;
    Tree().EmitInOrder(Tree().WalkOrder, base.Dirs, base.Sizes, base.Percents);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> dirs(base.Dirs.begin(), base.Dirs.end());
        state.ResumeTiming();
        std::sort(dirs.begin(), dirs.end(),
                  [](const std::string& a, const std::string& b) { return CompareDirs(a, b) < 0; });
    }
}

void BM_Index(benchmark::State& state) {
    TDirIndex index;
    for (auto _ : state) {
        BuildDirIndex(Sorted().Dirs, index);
        benchmark::DoNotOptimize(index.First.data());
    }
}

void BM_Aggregate(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    for (auto _ : state) {
        state.PauseTiming();
        Lists l = Sorted();
        state.ResumeTiming();
        AggregateSizes(l.Dirs, l.Sizes, l.Index, cancel);
    }
}

void BM_Percents(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    Lists summed = Sorted();
    AggregateSizes(summed.Dirs, summed.Sizes, summed.Index, cancel);
    for (auto _ : state) {
        state.PauseTiming();
        Lists l = summed;
        state.ResumeTiming();
        ComputePercents(l.Dirs, l.Sizes, l.Percents, l.Index);
    }
}

// Both steps as a run does them, sharing one pass over the structure.
void BM_AggregateAndPercents(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    for (auto _ : state) {
        state.PauseTiming();
        Lists l = Sorted();
        state.ResumeTiming();
        AggregateSizesAndPercents(l.Dirs, l.Sizes, l.Percents, l.Index, cancel);
    }
}

// The plain candidate scan and the linear forms on the first N sorted
// folders, where the plain one still finishes.
void AggregateAndPercentsOnPrefix(benchmark::State& state, bool plain) {
    const size_t n = static_cast<size_t>(state.range(0));
    Lists base;
    base.Dirs.assign(Sorted().Dirs.begin(), Sorted().Dirs.begin() + n);
    base.Sizes.assign(Sorted().Sizes.begin(), Sorted().Sizes.begin() + n);
    base.Percents.assign(Sorted().Percents.begin(), Sorted().Percents.begin() + n);
    BuildDirIndex(base.Dirs, base.Index);
    std::atomic<bool> cancel{false};
    for (auto _ : state) {
        state.PauseTiming();
        Lists l = base;
        state.ResumeTiming();
        if (plain) {
            AggregateSizesPlain(l.Dirs, l.Sizes, l.Index, cancel);
            ComputePercentsPlain(l.Dirs, l.Sizes, l.Percents, l.Index);
        } else {
            AggregateSizes(l.Dirs, l.Sizes, l.Index, cancel);
            ComputePercents(l.Dirs, l.Sizes, l.Percents, l.Index);
        }
    }
}
void BM_PlainAggregateAndPercents(benchmark::State& s) {
    AggregateAndPercentsOnPrefix(s, true);
}
void BM_LinearAggregateAndPercents(benchmark::State& s) {
    AggregateAndPercentsOnPrefix(s, false);
}

// A run's steps after the walk as the analyzer does them (totals and
// shares on the tree, the texts and the index made with them), on a tree made for
// this run alone and freed once the lists exist; run it in a process of its
// own to see its peak memory next to the bytes of the result files.
void BM_AfterWalkAlone(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    double resultBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Lists l;
        std::unique_ptr<TFolderTree> tree = std::make_unique<TFolderTree>(MakeTree(kFolders));
        state.ResumeTiming();
        tree->EmitSorted(l.Dirs, l.Sizes, l.Percents, cancel, true, &l.Index);
        tree.reset();
        resultBytes = 0;
        for (const TStringList* list : {&l.Dirs, &l.Sizes, &l.Percents})
            for (std::string_view line : *list)
                resultBytes += line.size() + 2;  // CR LF
    }
    state.counters["result_MiB"] = resultBytes / (1 << 20);
}

// The steps after the walk as a whole, on the shared tree: totals on the
// tree (what a run does) against texts first and the aggregation of the
// texts (what it did before).
void BM_AfterWalkTotalsOnTree(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    Tree();  // made once, outside the timing
    for (auto _ : state) {
        Lists l;
        Tree().EmitSorted(l.Dirs, l.Sizes, l.Percents, cancel, true, &l.Index);
        benchmark::DoNotOptimize(l.Dirs.RawBytes().data());
    }
}
void BM_AfterWalkTotalsOnTexts(benchmark::State& state) {
    std::atomic<bool> cancel{false};
    Tree();  // made once, outside the timing
    for (auto _ : state) {
        Lists l;
        Tree().EmitSorted(l.Dirs, l.Sizes, l.Percents, cancel);
        BuildDirIndex(l.Dirs, l.Index);
        AggregateSizesAndPercents(l.Dirs, l.Sizes, l.Percents, l.Index, cancel);
        benchmark::DoNotOptimize(l.Dirs.RawBytes().data());
    }
}

}  // namespace

BENCHMARK(BM_AfterWalkAlone)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AfterWalkTotalsOnTree)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AfterWalkTotalsOnTexts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SortFromTree)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ListsInWalkOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_QuickSortOfWalkOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PeerStdSortOfWalkOrder)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Index)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Aggregate)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Percents)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AggregateAndPercents)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainAggregateAndPercents)->Arg(50'000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LinearAggregateAndPercents)->Arg(50'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
