// The floor for a whole scan: a bare walk that lists every folder with
// getdents64 and looks at every entry with fstatat, on N threads (2 unless
// told), and only adds up sizes. Nothing is recorded, sorted or written; a
// real scanner with as many requests in flight can only be slower.
// Usage: cq_floor_walk [-t N] PATH
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Dirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

std::mutex g_mutex;
std::condition_variable g_wake;
std::vector<std::string> g_work;
int g_busy = 0;
std::atomic<long long> g_bytes{0};
std::atomic<long long> g_folders{0};

void ListOne(const std::string& path, std::vector<std::string>& found) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    static thread_local std::vector<char> buf(32768);
    long long bytes = 0;
    for (;;) {
        const long n = syscall(SYS_getdents64, fd, buf.data(), buf.size());
        if (n <= 0)
            break;
        for (long pos = 0; pos < n;) {
            const auto* d = reinterpret_cast<const Dirent64*>(buf.data() + pos);
            pos += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (!name[1] || (name[1] == '.' && !name[2])))
                continue;
            struct stat st;
            if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISDIR(st.st_mode))
                found.push_back(path + "/" + name);
            else
                bytes += st.st_size;
        }
    }
    close(fd);
    g_bytes += bytes;
    ++g_folders;
}

void Work() {
    std::vector<std::string> found;
    std::unique_lock<std::mutex> lock(g_mutex);
    for (;;) {
        g_wake.wait(lock, [] { return !g_work.empty() || g_busy == 0; });
        if (g_work.empty())
            return;
        std::string path = std::move(g_work.back());
        g_work.pop_back();
        ++g_busy;
        lock.unlock();
        found.clear();
        ListOne(path, found);
        lock.lock();
        --g_busy;
        for (std::string& f : found)
            g_work.push_back(std::move(f));
        g_wake.notify_all();
    }
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 2;
    if (argc == 4 && std::string(argv[1]) == "-t") {
        threads = std::atoi(argv[2]);
        argv += 2;
        argc -= 2;
    }
    if (argc != 2 || threads < 1) {
        std::fprintf(stderr, "usage: cq_floor_walk [-t N] PATH\n");
        return 2;
    }
    g_work.push_back(argv[1]);
    std::vector<std::thread> helpers;
    for (int t = 1; t < threads; ++t)
        helpers.emplace_back(Work);
    Work();
    for (std::thread& t : helpers)
        t.join();
    std::printf("%lld bytes in %lld folders\n", g_bytes.load(), g_folders.load());
    return 0;
}
