#pragma once
// The program's version as its windows and tools show it ("version 1.2" in
// the About window, "cobaltquarry-scan 1.2" from the scanner's --version).
constexpr char kProgramVersion[] = "1.2";
