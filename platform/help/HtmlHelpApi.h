#pragma once

// The calling convention between the program and its HTML help engine plugin.
// The plugin is loaded at run time, so this header is all the two share.

#include <cstdint>

namespace cq::help {

// Commands understood by the engine's HtmlHelpA entry point.
constexpr unsigned HH_DISPLAY_TOPIC = 0x00;
constexpr unsigned HH_DISPLAY_TOC = 0x01;
constexpr unsigned HH_DISPLAY_INDEX = 0x02;
constexpr unsigned HH_HELP_CONTEXT = 0x0F;
constexpr unsigned HH_CLOSE_ALL = 0x12;

// owner: the QWidget* that owns the help window (may be null);
// file: "<help file>" or "<help file>::/<topic>", UTF-8, may be null for HH_CLOSE_ALL;
// data: HH_DISPLAY_INDEX takes a const char* keyword, HH_HELP_CONTEXT a context
// number, the others ignore it.
// Returns the help window (a QWidget*) or null when nothing was shown.
using HtmlHelpFunc = void* (*)(void* owner, const char* file, unsigned command,
                               std::uintptr_t data);

// The exported symbol name of the entry point.
constexpr const char* kHtmlHelpSymbol = "HtmlHelpA";

}  // namespace cq::help
