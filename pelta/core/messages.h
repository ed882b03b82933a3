// Window messages, virtual keys and notification codes. The numbers are the ones the rest of the
// program (and its stored settings) already use, so they keep their values.
#pragma once

#include <cstdint>

#include "pelta/core/geometry.h"

namespace Pelta {

// Process-unique window handle; 0 means no window.
using HWND = uint32_t;

// Modifier keys held when an input message was queued.
enum KeyStateFlag : unsigned { KS_SHIFT = 1, KS_CTRL = 2, KS_ALT = 4 };

struct MSG {
    HWND hwnd = 0;
    unsigned message = 0;
    unsigned wParam = 0;
    long lParam = 0;
    // For input: where the pointer was (screen) and which modifiers were held when it was queued,
    // so that handling it later sees the state of its own moment.
    CPoint pt{};
    unsigned keyState = 0;
};

enum WindowMessage : unsigned {
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_TIMER = 0x0113,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
    WM_MOUSEHOVER = 0x02A1,
    WM_MOUSELEAVE = 0x02A3,
    WM_USER = 0x0400,
    // Posted by DoOK and its siblings; the dialog closes itself with wParam as the result.
    WM_USER_CLOSE = 1090,
    // Pelta's own: the animation tick, delivered on the window's thread.
    WM_PELTA_TICK = 0x8001,
    // The native window was destroyed (the last message a window gets).
    WM_NCDESTROY = 0x0082,
};

// wParam of WM_ACTIVATE.
enum ActivateState : unsigned { WA_INACTIVE = 0, WA_ACTIVE = 1 };

// Mouse-key flags in wParam of mouse messages.
enum MouseKeyFlag : unsigned { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8 };

enum ShowCommand : int {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_MAXIMIZE = 3,
    SW_SHOWNOACTIVATE = 4,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_RESTORE = 9,
};

enum VirtualKey : unsigned {
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12, // Alt
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_DELETE = 0x2E,
    VK_F4 = 0x73,
};

// Modifier passed with key routing: one value, not bits (Ctrl is or-ed onto Shift).
enum KeyModifier : unsigned { MOD_NONE = 0, MOD_SHIFT = 16, MOD_CTRL = 17, MOD_ALT = 18 };

// Codes a control sends to its host's OnMessage.
enum NotifyCode : unsigned {
    NOTIFY_PRESS = 1,
    NOTIFY_CLICK = 2,
    NOTIFY_DBLCLICK = 3,
    NOTIFY_RCLICK = 5,
    NOTIFY_TOGGLE = 7,
    NOTIFY_POSITION = 8,
    NOTIFY_PARTPRESS = 9,
    NOTIFY_POPUPCLOSED = 22,
    NOTIFY_FRAMESELECT = 24,
    NOTIFY_TEXTCHANGE = 26,
    NOTIFY_COLOR = 27,
    NOTIFY_SPIN = 28,
    NOTIFY_EDITEND = 29,
    NOTIFY_EDITBEGIN = 30,
    NOTIFY_PARTCLICK = 31,
};

// Points travel in lParam as two signed 16-bit values, x low.
constexpr long MakePointParam(int x, int y) {
    return static_cast<long>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                             static_cast<uint16_t>(x));
}
constexpr CPoint PointFromParam(long lParam) {
    return {static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}
// Wheel: the signed delta (120 per notch) rides in the high half of wParam.
constexpr unsigned MakeWheelParam(int delta, unsigned keys) {
    return (static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16) | (keys & 0xFFFF);
}
constexpr int WheelDelta(unsigned wParam) { return static_cast<int16_t>(wParam >> 16); }

} // namespace Pelta
