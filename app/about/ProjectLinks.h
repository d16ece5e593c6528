#pragma once

#include <QString>

// The project's addresses, in one place: the home page (the About window's
// icon and the main menu's "Home Page") and the maker's mail address (the
// About window's maker line). Both are set when the program is configured
// (cmake -DCQ_HOME_PAGE=https://... -DCQ_MAKER_MAIL=name@host); a build that
// names none has no such address rather than an invented one.
namespace cq::app {

inline constexpr const char* kMakerLine = "\u00a9 2025\u20132026 The Cobaltquarry team";

// The home page address, "" when the build names none.
QString HomePageAddress();
// The maker's mail link ("mailto:name@host"), "" when the build names none.
QString MakerMailAddress();
// A configured mail address as a link: "mailto:" is put in front unless it
// is there already; blanks around it are dropped; "" stays "".
QString MailLink(const QString& configured);

}  // namespace cq::app
