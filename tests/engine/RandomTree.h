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

// Folders folders and Files sparse files of random sizes below Root, which
// must not exist yet: wide folders and deep chains, names with case twins,
// hidden names, blanks, "%", "$", "\" and a byte that is not UTF-8, links to
// a file and a folder, a loop, a dangling link and hard links. Throws when
// any step fails, so no test runs on half a tree.
inline void MakeRandomTree(const std::string& root, unsigned seed, int folders, int files) {
    static const char* const kWords[] = {"data", "Data",        ".hidden", "a b",       "100% done",
                                         "$X",   "back\\slash", "caf\xe9", "notes.old", "x"};
    std::mt19937 random(seed);
    auto word = [&] { return std::string(kWords[random() % std::size(kWords)]); };
    auto check = [](int result, const std::string& what) {
        if (result != 0)
            throw std::runtime_error("cannot make " + what);
    };
    auto makeDir = [&](std::vector<std::string>& dirs, const std::string& path) {
        check(mkdir(path.c_str(), 0755), path);
        dirs.push_back(path);
    };
    std::vector<std::string> dirs;
    makeDir(dirs, root);
    for (int i = 0; i < folders; ++i) {
        // A fifth of the folders go below the newest one: deep chains.
        const std::string parent = random() % 5 ? dirs[random() % dirs.size()] : dirs.back();
        std::string name = word() + " " + std::to_string(i);
        makeDir(dirs, parent + "/" + name);
        for (char& c : name)
            c = std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c);
        if (random() % 25 == 0)
            makeDir(dirs, parent + "/" + name);  // the case twin
    }
    std::vector<std::string> made;
    for (int i = 0; i < files; ++i) {
        made.push_back(dirs[random() % dirs.size()] + "/" + word() + "." + std::to_string(i));
        FILE* f = std::fopen(made.back().c_str(), "wb");
        check(f ? std::fclose(f) : -1, made.back());
        check(truncate(made.back().c_str(), random() % (1 << (random() % 24))), made.back());
    }
    const std::string& some = dirs[dirs.size() / 2];
    check(symlink("..", (some + "/up").c_str()), "loop link");
    check(symlink("nowhere", (some + "/dangling").c_str()), "dangling link");
    check(symlink(dirs.back().c_str(), (root + "/to folder").c_str()), "folder link");
    for (int i = 0; i < 3 && i < static_cast<int>(made.size()); ++i) {
        const std::string name = dirs[random() % dirs.size()] + "/hard " + std::to_string(i);
        check(link(made[random() % made.size()].c_str(), name.c_str()), name);
        check(symlink(made[i].c_str(), (name + " link").c_str()), "file link");
    }
}
