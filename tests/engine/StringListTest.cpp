// The list of texts against a plain vector of strings: random changes of
// every kind, texts taken from the list itself included, must leave both
// holding the same texts, and a copy must not change with its original.
#include <gtest/gtest.h>

#include <random>
#include <string>
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
