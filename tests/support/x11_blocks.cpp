#include "tests/support/x11_blocks.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace vantrel::testing {

class ColourBlocks {
public:
    Display* display = nullptr;
    Window window = 0;
};

void ColourBlocksCloser::operator()(ColourBlocks* blocks) const {
    XDestroyWindow(blocks->display, blocks->window);
    XCloseDisplay(blocks->display);
    delete blocks;
}

std::unique_ptr<ColourBlocks, ColourBlocksCloser> ShowColourBlocks(uint32_t left, uint32_t right) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return nullptr;
    const int screen = DefaultScreen(d);
    const int width = DisplayWidth(d, screen), height = DisplayHeight(d, screen);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0;
    Window w = XCreateWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                             CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(d, w);
    XSync(d, False);
    auto toPixel = [](uint32_t bgr) { return static_cast<unsigned long>((bgr & 0xFF) << 16 | (bgr & 0xFF00) | (bgr >> 16 & 0xFF)); };
    GC gc = XCreateGC(d, w, 0, nullptr);
    XSetForeground(d, gc, toPixel(left));
    XFillRectangle(d, w, gc, 0, 0, static_cast<unsigned>(width / 2), static_cast<unsigned>(height));
    XSetForeground(d, gc, toPixel(right));
    XFillRectangle(d, w, gc, width / 2, 0, static_cast<unsigned>(width - width / 2), static_cast<unsigned>(height));
    XFreeGC(d, gc);
    XSync(d, False);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto* blocks = new ColourBlocks{d, w};
    return std::unique_ptr<ColourBlocks, ColourBlocksCloser>(blocks);
}

} // namespace vantrel::testing
