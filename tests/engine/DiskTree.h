#pragma once
// A folder tree where the bytes files take on the disk differ from their
// sizes every way they can, with du and ncdu as the reference for what it
// takes: a sparse file of 1 GiB with 4 KiB written, many small files (each
// taking a whole block), hard links inside one folder and across folders.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

namespace disktree {

inline void Check(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error("cannot make " + what);
}

// A file of size bytes of which only the bytes at the given offsets (4 KiB
// each) are written: the rest is a hole.
inline void Sparse(const std::string& path, std::int64_t size, std::initializer_list<long> at) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Check(fd >= 0, path);
    const std::string block(4096, 'x');
    for (long offset : at)
        Check(pwrite(fd, block.data(), block.size(), offset) == 4096, path);
    Check(ftruncate(fd, size) == 0 && fsync(fd) == 0 && close(fd) == 0, path);
}

inline void Plain(const std::string& path, std::size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    Check(f != nullptr, path);
    const std::string bytes(size, 'y');
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    Check(std::fclose(f) == 0, path);
}

inline void Folder(const std::string& path) {
    Check(mkdir(path.c_str(), 0755) == 0, path);
}
inline void Link(const std::string& from, const std::string& to) {
    Check(link(from.c_str(), to.c_str()) == 0, to);
}

// The tree below root (which must exist).
inline void Make(const std::string& root) {
    Folder(root + "/vm");
    Sparse(root + "/vm/disk.img", std::int64_t{1} << 30, {0});
    Sparse(root + "/vm/holes", 10 << 20, {1 << 20, 5 << 20});
    Folder(root + "/small");
    for (int i = 0; i < 60; ++i)
        Plain(root + "/small/f" + std::to_string(i), 1 + i * 37);
    Folder(root + "/small/deeper");
    for (int i = 0; i < 5; ++i)
        Plain(root + "/small/deeper/g" + std::to_string(i), 3000 + i);
    Folder(root + "/a");
    Folder(root + "/b");
    Plain(root + "/a/shared", 20000);
    Link(root + "/a/shared", root + "/b/shared again");  // across folders
    Folder(root + "/c");
    Plain(root + "/c/x", 9000);
    Link(root + "/c/x", root + "/c/y");  // inside one folder
    Plain(root + "/top", 123);
    Check(symlink("a/shared", (root + "/to shared").c_str()) == 0, "link");
}

// What is below a folder, as lstat tells it: the blocks of its folders
// (the folder itself included), and the hard-linked files with names both
// inside and outside it.
struct TFolderFacts {
    std::int64_t FolderBlocks = 0;  // bytes
    bool SharesLinks = false;
};

inline std::map<std::string, TFolderFacts> Facts(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::pair<dev_t, ino_t>, std::set<std::string>> names;  // linked inode -> names
    std::map<std::string, TFolderFacts> facts;
    auto note = [&](const std::string& path, const struct stat& st) {
        if (S_ISDIR(st.st_mode))
            facts[path].FolderBlocks = st.st_blocks * 512;
        else if (st.st_nlink > 1)
            names[{st.st_dev, st.st_ino}].insert(path);
    };
    struct stat st;
    Check(lstat(root.c_str(), &st) == 0, root);
    note(root, st);
    for (auto it = fs::recursive_directory_iterator(root); it != fs::end(it); ++it) {
        Check(lstat(it->path().c_str(), &st) == 0, it->path());
        note(it->path().string(), st);
    }
    std::map<std::string, TFolderFacts> total;
    for (auto& [folder, fact] : facts) {
        TFolderFacts sum;
        const std::string prefix = folder + "/";
        for (const auto& [other, f] : facts)
            if (other == folder || other.compare(0, prefix.size(), prefix) == 0)
                sum.FolderBlocks += f.FolderBlocks;
        for (const auto& [inode, paths] : names) {
            std::size_t inside = 0;
            for (const std::string& p : paths)
                inside += p.compare(0, prefix.size(), prefix) == 0;
            sum.SharesLinks = sum.SharesLinks || (inside > 0 && inside < paths.size());
        }
        total[folder] = sum;
    }
    return total;
}

// The output of a command.
inline std::string Run(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    Check(pipe != nullptr, command);
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    return out;
}

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// du's allocated bytes of a folder, hard links once.
inline std::int64_t Du(const std::string& folder, const char* options) {
    return std::stoll(Run(std::string("du ") + options + " -B1 " + Quoted(folder)));
}

// The allocated bytes of the files in an ncdu export of folder: every
// entry's dsize that is not a folder, a hard-linked file once.
inline std::int64_t NcduFileBytes(const std::string& folder) {
    const QByteArray text = QByteArray::fromStdString(Run("ncdu -x -o - " + Quoted(folder)));
    const QJsonArray doc = QJsonDocument::fromJson(text).array();
    Check(doc.size() >= 4 && doc[3].isArray(), "ncdu export");
    std::set<std::pair<std::int64_t, std::int64_t>> seen;
    std::int64_t sum = 0;
    std::function<void(const QJsonValue&)> add = [&](const QJsonValue& v) {
        if (v.isArray()) {  // a folder: its own entry first, then what it holds
            const QJsonArray a = v.toArray();
            for (int i = 1; i < a.size(); ++i)
                add(a[i]);
            return;
        }
        const QJsonObject o = v.toObject();
        if (o.value("hlnkc").toBool() || o.value("nlink").toInt() > 1) {
            const auto key = std::make_pair(static_cast<std::int64_t>(o.value("dev").toDouble()),
                                            static_cast<std::int64_t>(o.value("ino").toDouble()));
            if (!seen.insert(key).second)
                return;
        }
        sum += static_cast<std::int64_t>(o.value("dsize").toDouble());
    };
    add(doc[3]);
    return sum;
}

}  // namespace disktree
