#pragma once
// The case of a drive letter. Paths in drive form ("C:\Users\x", root "C:")
// name their drive by a letter that compares in either case, while every
// other byte of a path compares as it is. Only the 26 ASCII letters change:
// std::toupper would also fold bytes of other alphabets in a single-byte
// locale, which a Qt program adopts from the user's settings.

// 'a'..'z' as 'A'..'Z'; every other byte as it is.
constexpr char UpperDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
