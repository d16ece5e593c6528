// The list of texts against a plain vector of strings: random changes of
// every kind, texts taken from the list itself included, must leave both
// holding the same texts, and a copy must not change with its original.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/StringList.h"

namespace {

void ExpectSame(const std::vector<std::string>& model, const TStringList& list, int step) {
    ASSERT_EQ(model.size(), list.size()) << "step " << step;
    for (std::size_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(model[i], list[i]) << "step " << step << ", text " << i;
    std::size_t bytes = 0;
    for (const std::string& text : model)
        bytes += text.size();
    ASSERT_EQ(bytes, list.Bytes()) << "step " << step;
}

}  // namespace

TEST(StringList, RandomChangesAgreeWithAVectorOfStrings) {
    std::mt19937 random(23);
    auto text = [&] {
        // Mostly short texts, now and then one long enough to move the buffer.
        std::string t(random() % 8 == 0 ? random() % 3000 : random() % 12, ' ');
        for (char& c : t)
            c = static_cast<char>(random() % 256);  // any byte, NUL and CR included
        return t;
    };
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> model;
        TStringList list;
        for (int step = 0; step < 2000; ++step) {
            const std::size_t n = model.size();
            switch (random() % 9) {
                case 0:
                case 1: {
                    const std::string t = text();
                    model.push_back(t);
                    list.push_back(t);
                    break;
                }
                case 2:  // a text of the list itself, while the buffer may grow
                    if (n > 0) {
                        const std::size_t i = random() % n;
                        model.push_back(model[i]);
                        list.push_back(list[i]);
                    }
                    break;
                case 3:
                case 4:
                    if (n > 0) {
                        const std::size_t i = random() % n;
                        const std::string t = text();
                        model[i] = t;
                        list.Set(i, t);
                    }
                    break;
                case 5:  // replaced by a part of itself, or of another text
                    if (n > 0) {
                        const std::size_t i = random() % n, j = random() % n;
                        const std::size_t from = random() % (model[j].size() + 1);
                        model[i] = model[j].substr(from);
                        list.Set(i, list[j].substr(from));
                    }
                    break;
                case 6: {
                    const std::size_t lo = n ? random() % (n + 1) : 0;
                    const std::size_t hi = lo + random() % (n - lo + 1);
                    const std::size_t count = random() % 4;
                    model.erase(model.begin() + lo, model.begin() + hi);
                    model.insert(model.begin() + lo, count, std::string());
                    list.Splice(lo, hi, count);
                    break;
                }
                case 7:
                    if (n > 0) {
                        model.pop_back();
                        list.pop_back();
                    }
                    break;
                case 8: {
                    const std::size_t count = random() % (n + 3);
                    model.resize(count);
                    list.resize(count);
                    break;
                }
            }
            ExpectSame(model, list, step);
        }
        const std::vector<std::string> before = model;
        const TStringList copy = list;
        list.push_back("after the copy");
        if (!model.empty())
            list.Set(0, "changed after the copy");
        ExpectSame(before, copy, -1);
        list.pop_back();
        if (!model.empty())
            list.Set(0, model[0]);
        EXPECT_EQ(TStringList(model.begin(), model.end()), list);
    }
}

namespace {

// One list and the plain vector it must equal.
struct TModelled {
    std::vector<std::string> Model;
    TStringList List;
};

// A random change through one of the list's mutating operations, made to the
// model the plain way. Texts may come from the list itself or from another
// list that shares its texts.
void ChangeAtRandom(std::mt19937& random, TModelled& m, const TModelled& other) {
    auto text = [&] {
        std::string t(random() % 8 == 0 ? random() % 3000 : random() % 12, ' ');
        for (char& c : t)
            c = static_cast<char>(random() % 256);
        return t;
    };
    std::vector<std::string>& model = m.Model;
    TStringList& list = m.List;
    const std::size_t n = model.size();
    switch (random() % 13) {
        case 0: {
            const std::string t = text();
            model.push_back(t);
            list.push_back(t);
            break;
        }
        case 1:  // one of its own texts, or one of a list it may share with
            if (n > 0) {
                const std::size_t i = random() % n;
                model.push_back(model[i]);
                list.push_back(list[i]);
            } else if (!other.Model.empty()) {
                model.push_back(other.Model[0]);
                list.emplace_back(other.List[0]);
            }
            break;
        case 2:
            if (n > 0) {
                const std::size_t i = random() % n, j = random() % n;
                const std::size_t from = random() % (model[j].size() + 1);
                model[i] = model[j].substr(from);
                list.Set(i, list[j].substr(from));
            }
            break;
        case 3:
            if (n > 0) {
                const std::size_t i = random() % n;
                const std::string t = text();
                model[i] = t;
                list.Set(i, t);
            }
            break;
        case 4: {
            const std::size_t lo = n ? random() % (n + 1) : 0;
            const std::size_t hi = lo + random() % (n - lo + 1);
            const std::size_t count = random() % 4;
            model.erase(model.begin() + lo, model.begin() + hi);
            model.insert(model.begin() + lo, count, std::string());
            list.Splice(lo, hi, count);
            break;
        }
        case 5:
            if (n > 0) {
                model.pop_back();
                list.pop_back();
            }
            break;
        case 6: {
            const std::size_t count = random() % (n + 3);
            model.resize(count);
            list.resize(count);
            break;
        }
        case 7:
            list.reserve(n + random() % 100);
            list.ReserveBytes(list.Bytes() + random() % 5000);
            break;
        case 8: {
            const std::size_t count = random() % 5;
            const std::string t = text();
            model.assign(count, t);
            list.assign(count, t);
            break;
        }
        case 9: {
            // Through the reader's way: the bytes of a file, lines marked.
            const std::string lines[] = {text(), text()};
            const std::string bytes = lines[0] + lines[1];
            // (A buffer of no bytes may be no buffer: nothing is copied then.)
            char* buffer = list.RawBuffer(lines[0].size());
            if (!lines[0].empty())
                std::memcpy(buffer, lines[0].data(), lines[0].size());
            list.AddInPlace(0, lines[0].size());
            buffer = list.ResizeRaw(bytes.size());
            if (!lines[1].empty())
                std::memcpy(buffer + lines[0].size(), lines[1].data(), lines[1].size());
            list.AddInPlace(lines[0].size(), lines[1].size());
            model.assign(std::begin(lines), std::end(lines));
            break;
        }
        case 10:
            if (&m != &other) {
                model.assign(other.Model.begin(), other.Model.end());
                list.assign(other.List.begin(), other.List.end());
            }
            break;
        case 11:
            if (random() % 8 == 0) {
                model.clear();
                list.clear();
            }
            break;
        case 12: {
            TStringList moved = std::move(list);
            list = std::move(moved);
            break;
        }
    }
}

void ExpectEqualsModel(const TModelled& m, const std::string& where) {
    ASSERT_EQ(m.Model.size(), m.List.size()) << where;
    for (std::size_t i = 0; i < m.Model.size(); ++i)
        ASSERT_EQ(m.Model[i], m.List[i]) << where << ", text " << i;
    ASSERT_EQ(TStringList(m.Model.begin(), m.Model.end()), m.List) << where;
}

}  // namespace

// Copies share their texts until one of them changes: lists copied from each
// other in every way, then each changed at random, must each equal its own
// plain model, whichever changed first and however often they were copied.
TEST(StringList, CopiesChangedAtRandomEachKeepTheirOwnTexts) {
    std::mt19937 random(41);
    std::vector<TModelled> lists(4);
    for (int step = 0; step < 20000; ++step) {
        const std::size_t a = random() % lists.size(), b = random() % lists.size();
        switch (random() % 10) {
            case 0:  // copy assignment (onto itself too)
                lists[a].Model = lists[b].Model;
                lists[a].List = lists[b].List;
                ASSERT_TRUE(lists[a].List.SharesWith(lists[b].List) || lists[a].List.empty());
                break;
            case 1: {  // a copy made, then the original dropped
                TModelled copy{lists[b].Model, TStringList(lists[b].List)};
                lists[a] = std::move(copy);
                break;
            }
            case 2:
                std::swap(lists[a].Model, lists[b].Model);
                swap(lists[a].List, lists[b].List);
                break;
            default:
                ChangeAtRandom(random, lists[a], lists[b]);
        }
        for (std::size_t i = 0; i < lists.size(); ++i)
            ExpectEqualsModel(lists[i],
                              "step " + std::to_string(step) + ", list " + std::to_string(i));
    }
}

// Lists that share their texts, changed at once on different threads: each
// ends as its own model (a reference count that is not atomic, or a list
// writing to texts still shared, fails here or under the sanitizers).
TEST(StringList, CopiesChangeOnTheirOwnThreads) {
    std::mt19937 seeds(5);
    for (int round = 0; round < 30; ++round) {
        TModelled original;
        const TModelled none;
        std::mt19937 random(seeds());
        for (int i = 0; i < 200; ++i)
            ChangeAtRandom(random, original, none);
        std::vector<TModelled> copies(4, original);
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < copies.size(); ++t)
            threads.emplace_back([&copies, &original, t, seed = seeds()] {
                std::mt19937 own(seed);
                for (int i = 0; i < 300; ++i)
                    ChangeAtRandom(own, copies[t], original);
            });
        for (std::thread& thread : threads)
            thread.join();
        for (const TModelled& copy : copies)
            ExpectEqualsModel(copy, "round " + std::to_string(round));
    }
}
