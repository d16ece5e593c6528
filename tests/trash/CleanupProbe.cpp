// A program that records how it was called: its arguments (argv[1] on),
// each followed by a NUL byte, appended to the file $CQ_PROBE_OUT, then a
// newline; it exits with $CQ_PROBE_EXIT (0 by default).
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const char* out = std::getenv("CQ_PROBE_OUT");
    if (!out)
        return 2;
    std::FILE* file = std::fopen(out, "ab");
    if (!file)
        return 2;
    for (int i = 1; i < argc; ++i)
        std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, file);
    std::fputc('\n', file);
    std::fclose(file);
    const char* code = std::getenv("CQ_PROBE_EXIT");
    return code ? std::atoi(code) : 0;
}
