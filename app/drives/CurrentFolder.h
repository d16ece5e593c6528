#pragma once

#include <string>

// The one thing the drive selector and the scan control ask of the window
// that owns them: which folder is current. Everything they have to tell the
// window travels the other way, as signals.
class TCurrentFolder {
  public:
    // The current folder in drive form ("C:\", "C:\Data"); empty or without
    // a colon outside any drive.
    virtual std::string CurrentFolder() const = 0;

  protected:
    ~TCurrentFolder() = default;
};
