#pragma once

// The project's addresses, in one place: the home page (the About window's
// icon and the main menu's "Home Page") and the maker's mail address (the
// About window's maker line).
namespace cq::app {

inline constexpr const char* kHomePageAddress = "https://cobaltquarry.example.org/";
inline constexpr const char* kMakerMailAddress = "mailto:team@cobaltquarry.example.org";
inline constexpr const char* kMakerLine = "\u00a9 2025\u20132026 The Cobaltquarry team";

}  // namespace cq::app
