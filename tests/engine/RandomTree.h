#pragma once
// A reproducible folder tree built by the test itself: the same seed gives
// the same tree on every machine.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

// Builds Folders folders and Files files (sparse, of random sizes) below
// Root, which must not exist yet. The shape mixes wide folders with deep
// chains; the names hold what a walk must keep apart or pass through
// unchanged: case twins, hidden names, blanks, "%", "$", "\" and a byte
// that is not UTF-8. Links to a file and to a folder, a loop to an ancestor,
// a dangling link and hard links are added too. Throws when the file system
// refuses any step, so a test never runs on half a tree.
inline void MakeRandomTree(const std::string& root, unsigned seed, int folders, int files) {
    static const char* const kWords[] = {"data",      "Data",      ".hidden",     "a b",
                                         "100% done", "cost $X",   "back\\slash", "caf\xe9",
                                         "Music",     "notes.old", "final draft", "x"};
    auto check = [](bool ok, const std::string& what) {
        if (!ok)
            throw std::runtime_error("cannot make " + what);
    };
    std::mt19937 random(seed);
    auto word = [&] { return std::string(kWords[random() % std::size(kWords)]); };
    check(mkdir(root.c_str(), 0755) == 0, root);
    std::vector<std::string> dirs{root};
    for (int i = 0; i < folders; ++i) {
        // A fifth of the folders go below the newest one: deep chains.
        const std::string parent = random() % 5 == 0 ? dirs.back() : dirs[random() % dirs.size()];
        const std::string name = word() + " " + std::to_string(i);
        dirs.push_back(parent + "/" + name);
        check(mkdir(dirs.back().c_str(), 0755) == 0, dirs.back());
        if (random() % 25 == 0) {
            std::string twin = name;
            for (char& c : twin)
                c = std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c);
            if (twin != name) {
                dirs.push_back(parent + "/" + twin);
                check(mkdir(dirs.back().c_str(), 0755) == 0, dirs.back());
            }
        }
    }
    std::vector<std::string> made;
    for (int i = 0; i < files; ++i) {
        const std::string path =
            dirs[random() % dirs.size()] + "/" + word() + "." + std::to_string(i);
        const long long size = random() % 10 == 0 ? 0 : random() % (1 << (random() % 24));
        FILE* f = std::fopen(path.c_str(), "wb");
        check(f != nullptr, path);
        std::fclose(f);
        check(truncate(path.c_str(), size) == 0, path);
        made.push_back(path);
    }
    const std::string& some = dirs[dirs.size() / 2];
    check(symlink("..", (some + "/up").c_str()) == 0, "loop link");
    check(symlink("nowhere", (some + "/dangling").c_str()) == 0, "dangling link");
    if (!made.empty()) {
        check(symlink(made.front().c_str(), (dirs[1 % dirs.size()] + "/to file").c_str()) == 0,
              "file link");
        for (int i = 0; i < 3; ++i) {
            const std::string name = dirs[random() % dirs.size()] + "/hard " + std::to_string(i);
            check(link(made[random() % made.size()].c_str(), name.c_str()) == 0, name);
        }
    }
    check(symlink(dirs.back().c_str(), (root + "/to folder").c_str()) == 0, "folder link");
}
