// Typing a text on X11: the text goes on the clipboard, a synthesised Ctrl+V pastes it into the
// focused window, and the clipboard is emptied again afterwards.
#include "app/core/text_encoding.h"
#include "app/keys/host_actions.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <poll.h>

#include <chrono>
#include <memory>

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kHoldKeys{100};
// How long the text stays available to the window that pastes it.
constexpr milliseconds kServeFor{1000};

struct DisplayCloser {
    void operator()(Display* d) const { XCloseDisplay(d); }
};

class ClipboardOwner {
public:
    ClipboardOwner(Display* d, std::string text) : d_(d), text_(std::move(text)) {
        window_ = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 1, 1, 0, 0, 0);
        clipboard_ = XInternAtom(d_, "CLIPBOARD", False);
        utf8_ = XInternAtom(d_, "UTF8_STRING", False);
        targets_ = XInternAtom(d_, "TARGETS", False);
        text_atom_ = XInternAtom(d_, "TEXT", False);
        XSetSelectionOwner(d_, clipboard_, window_, CurrentTime);
    }
    ~ClipboardOwner() {
        if (XGetSelectionOwner(d_, clipboard_) == window_) XSetSelectionOwner(d_, clipboard_, None, CurrentTime);
        XDestroyWindow(d_, window_);
        XFlush(d_);
    }
    bool Owns() { return XGetSelectionOwner(d_, clipboard_) == window_; }

    // Answers paste requests until `until`.
    void Serve(Clock::time_point until) {
        const int fd = ConnectionNumber(d_);
        while (Clock::now() < until) {
            while (XPending(d_) > 0) {
                XEvent event;
                XNextEvent(d_, &event);
                if (event.type == SelectionRequest) Answer(event.xselectionrequest);
            }
            auto left = std::chrono::duration_cast<milliseconds>(until - Clock::now()).count();
            if (left <= 0) break;
            pollfd p{fd, POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(left));
        }
    }

private:
    void Answer(const XSelectionRequestEvent& request) {
        XSelectionEvent reply{};
        reply.type = SelectionNotify;
        reply.display = request.display;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = request.property == None ? request.target : request.property;
        if (request.target == targets_) {
            Atom offered[] = {targets_, utf8_, XA_STRING, text_atom_};
            XChangeProperty(d_, request.requestor, reply.property, XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(offered), 4);
        } else if (request.target == utf8_ || request.target == XA_STRING || request.target == text_atom_) {
            XChangeProperty(d_, request.requestor, reply.property, utf8_, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(text_.data()), static_cast<int>(text_.size()));
        } else {
            reply.property = None;
        }
        XSendEvent(d_, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(d_);
    }

    Display* d_;
    std::string text_;
    Window window_;
    Atom clipboard_, utf8_, targets_, text_atom_;
};

} // namespace

bool DesktopHostPlatform::TypeText(const std::u16string& text) {
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) return false;
    Display* d = display.get();
    int event, error, major, minor;
    const bool canType = XTestQueryExtension(d, &event, &error, &major, &minor);
    ClipboardOwner owner(d, WideToUtf8(text));
    if (!owner.Owns()) return false;
    if (canType) {
        const KeyCode ctrl = XKeysymToKeycode(d, XK_Control_L);
        const KeyCode v = XKeysymToKeycode(d, XK_v);
        XTestFakeKeyEvent(d, ctrl, True, 0);
        XTestFakeKeyEvent(d, v, True, 0);
        XFlush(d);
        owner.Serve(Clock::now() + kHoldKeys);
        XTestFakeKeyEvent(d, v, False, 0);
        XTestFakeKeyEvent(d, ctrl, False, 0);
        XFlush(d);
    }
    owner.Serve(Clock::now() + kServeFor);
    return canType;
}

} // namespace vantrel
