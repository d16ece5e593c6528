#include "tests/desktop_x11/X11Desktop.h"

#include <xcb/xcb.h>

#include <QProcess>
#include <QRegularExpression>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

template <typename T>
using Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T>
Reply<T> Own(T* reply) {
    return Reply<T>(reply, &std::free);
}

}  // namespace

TX11Desktop::TX11Desktop() {
    int screen = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screen);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    FConnection = connection;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(FConnection));
    for (int i = 0; i < screen; ++i) {
        xcb_screen_next(&it);
    }
    FRoot = it.data->root;
}

TX11Desktop::~TX11Desktop() {
    if (FConnection) {
        xcb_disconnect(FConnection);
    }
}

uint32_t TX11Desktop::Atom(const char* name) {
    auto reply = Own(xcb_intern_atom_reply(
        FConnection,
        xcb_intern_atom(FConnection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : static_cast<uint32_t>(XCB_ATOM_NONE);
}

uint32_t TX11Desktop::CardinalProperty(uint32_t window, uint32_t atom) {
    auto reply = Own(xcb_get_property_reply(
        FConnection, xcb_get_property(FConnection, 0, window, atom, XCB_ATOM_CARDINAL, 0, 1),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) {
        return 0;
    }
    return *static_cast<uint32_t*>(xcb_get_property_value(reply.get()));
}

std::vector<uint32_t> TX11Desktop::Windows(qint64 pid) {
    std::vector<uint32_t> windows;
    auto tree = Own(xcb_query_tree_reply(FConnection, xcb_query_tree(FConnection, FRoot), nullptr));
    if (!tree) {
        return windows;
    }
    const uint32_t pidAtom = Atom("_NET_WM_PID");
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        auto attributes = Own(xcb_get_window_attributes_reply(
            FConnection, xcb_get_window_attributes(FConnection, children[i]), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
            CardinalProperty(children[i], pidAtom) == static_cast<uint32_t>(pid)) {
            windows.push_back(children[i]);
        }
    }
    return windows;
}

uint32_t TX11Desktop::Find(qint64 pid, const QString& title) {
    for (uint32_t window : Windows(pid)) {
        if (NetWmName(window) == title) {
            return window;
        }
    }
    return 0;
}

QString TX11Desktop::NetWmName(uint32_t window) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window), QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000) || xprop.exitCode() != 0) {
        return QStringLiteral("<xprop failed>");
    }
    // _NET_WM_NAME(UTF8_STRING) = "Cobaltquarry 1.2 "
    const QString out = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("^_NET_WM_NAME\\([A-Z0-9_]+\\) = \"(.*)\"$")).match(out);
    if (!match.hasMatch()) {
        return QStringLiteral("<none>");
    }
    QString title = match.captured(1);
    title.replace(QStringLiteral("\\\""), QStringLiteral("\""));
    title.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return title;
}

void TX11Desktop::Key(uint32_t window, uint32_t keysym, uint16_t modifiers) {
    const xcb_setup_t* setup = xcb_get_setup(FConnection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto map = Own(xcb_get_keyboard_mapping_reply(
        FConnection, xcb_get_keyboard_mapping(FConnection, setup->min_keycode, count), nullptr));
    if (!map) {
        return;
    }
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    const int perCode = map->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int column = 0; column < std::min(perCode, 2); ++column) {
            if (syms[code * perCode + column] != keysym) {
                continue;
            }
            xcb_key_press_event_t event{};
            event.detail = static_cast<xcb_keycode_t>(setup->min_keycode + code);
            event.root = FRoot;
            event.event = window;
            event.child = XCB_NONE;
            event.same_screen = 1;
            event.state = static_cast<uint16_t>(modifiers | (column == 1 ? kShift : 0));
            for (uint8_t type : {XCB_KEY_PRESS, XCB_KEY_RELEASE}) {
                event.response_type = type;
                xcb_send_event(
                    FConnection, 0, window,
                    type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                    reinterpret_cast<const char*>(&event));
            }
            xcb_flush(FConnection);
            return;
        }
    }
}

void TX11Desktop::Focus(uint32_t window) {
    xcb_set_input_focus(FConnection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_flush(FConnection);
}

void TX11Desktop::Close(uint32_t window) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom("WM_PROTOCOLS");
    event.data.data32[0] = Atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(FConnection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(FConnection);
}
