#include "tests/support/x11_clipboard.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace vantrel::testing {

// Pastes from the clipboard as an application would, while the text is being typed.
std::string PasteFromClipboard() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return "no display";
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    const Atom property = XInternAtom(d, "VANTREL_TEST", False);
    Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    std::string text = "nothing pasted";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (XGetSelectionOwner(d, clipboard) == None && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    XConvertSelection(d, clipboard, utf8, property, w, CurrentTime);
    XFlush(d);
    while (std::chrono::steady_clock::now() < deadline) {
        if (XPending(d) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != SelectionNotify) continue;
        if (e.xselection.property == None) break;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(d, w, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count, &after, &data);
        text.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
        break;
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
    return text;
}

bool ClipboardHasOwner() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    const bool owned = XGetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False)) != None;
    XCloseDisplay(d);
    return owned;
}

} // namespace vantrel::testing
