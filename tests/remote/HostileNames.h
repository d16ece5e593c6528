#pragma once
// The folder names a quoting mistake in the remote line would break or let
// run something: every kind of quote and expansion, the backslash alone,
// doubled, before a quote and at the end, a name that ends the quote to run
// a command, and random bytes. Run, a name leaves a file "pwned" in
// MarkerFolder (or, for the relative ones, in the shell's working folder).
#include <random>
#include <string>
#include <vector>

inline std::vector<std::string> HostileNames(const std::string& markerFolder) {
    std::vector<std::string> names = {"plain",
                                      "it's",
                                      "$(touch pwned)",
                                      "a; touch pwned",
                                      "a b  c",
                                      "two\nlines\n",
                                      "\"q\" `x` \\",
                                      "!x !! ^",
                                      "-rf",
                                      "tab\there\x7f",
                                      "caf\xe9 %b %s",
                                      "'",
                                      "\\",
                                      "\\\\",
                                      "a\\\\b",
                                      "back\\",
                                      "\\'",
                                      "'\\",
                                      "''\\\\''",
                                      "$HOME ~ *",
                                      "{a,b} #c",
                                      "' ;touch " + markerFolder + "/pwned #"};
    std::mt19937 random(5);
    for (int i = 0; i < 20; ++i) {
        std::string name;
        for (int k = 1 + static_cast<int>(random() % 12); k > 0; --k)
            name += static_cast<char>(1 + random() % 255);
        if (name.find('/') == std::string::npos)
            names.push_back(name);
    }
    return names;
}
