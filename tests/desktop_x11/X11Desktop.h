#pragma once
// What a desktop does with the program's windows, done by a client of its
// own on the X display: lists the top-level windows, reads their titles the
// way a panel or task switcher does (xprop's _NET_WM_NAME), types keys into
// a window, gives it the focus and asks it to close (WM_DELETE_WINDOW, the
// window manager's close button).
#include <QString>
#include <cstdint>
#include <vector>

struct xcb_connection_t;

class TX11Desktop {
  public:
    TX11Desktop();
    ~TX11Desktop();
    TX11Desktop(const TX11Desktop&) = delete;
    TX11Desktop& operator=(const TX11Desktop&) = delete;

    bool Connected() const { return FConnection != nullptr; }

    // The mapped top-level windows of a process (_NET_WM_PID).
    std::vector<uint32_t> Windows(qint64 pid);
    // The first mapped top-level window of the process with that title.
    uint32_t Find(qint64 pid, const QString& title);
    // _NET_WM_NAME as xprop reports it; "<none>" when it is not set.
    static QString NetWmName(uint32_t window);

    // Key modifiers of the X protocol.
    static constexpr uint16_t kShift = 1;
    static constexpr uint16_t kControl = 4;
    static constexpr uint16_t kAlt = 8;
    // Presses and releases the key that types keysym (Shift added when the
    // keysym needs it), with the given modifiers, into the window.
    void Key(uint32_t window, uint32_t keysym, uint16_t modifiers = 0);
    void Focus(uint32_t window);
    void Close(uint32_t window);

  private:
    uint32_t Atom(const char* name);
    uint32_t CardinalProperty(uint32_t window, uint32_t atom);

    xcb_connection_t* FConnection = nullptr;
    uint32_t FRoot = 0;
};

// Keysyms used by the tests.
namespace xk {
constexpr uint32_t a = 0x61, c = 0x63, d = 0x64, f = 0x66, v = 0x76, question = 0x3f;
constexpr uint32_t Escape = 0xff1b, Return = 0xff0d, Left = 0xff51, Up = 0xff52, Right = 0xff53,
                   Down = 0xff54, w = 0x77;
}  // namespace xk
