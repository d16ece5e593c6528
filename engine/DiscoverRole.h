#pragma once
// The role of the Discover data's extra file ("Discover", "CDiscover" for
// drive C:), known to the kind that registers it and to the walk's sink
// that hands the data's lines on under it.
#include <string_view>

constexpr std::string_view kDiscoverRole = "Discover";
