// The X11 root window as the screen colour mode's picture.
#include "app/lighting/screen_light.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace vantrel {
namespace {

// One colour channel of a pixel scaled to 0..255, whatever the visual's depth.
uint32_t Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = __builtin_ctzl(mask);
    const unsigned long max = mask >> shift;
    return static_cast<uint32_t>(((pixel & mask) >> shift) * 255 / max);
}

class X11ScreenSource final : public ScreenSource {
public:
    X11ScreenSource() : display_(XOpenDisplay(nullptr)) {}
    ~X11ScreenSource() override {
        ReleaseShm();
        if (display_) XCloseDisplay(display_);
    }
    X11ScreenSource(const X11ScreenSource&) = delete;
    X11ScreenSource& operator=(const X11ScreenSource&) = delete;

    bool Capture(int* width, int* height, std::vector<uint32_t>* pixels) override {
        if (!display_) return false;
        const Window root = DefaultRootWindow(display_);
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display_, root, &attributes)) return false;
        *width = attributes.width;
        *height = attributes.height;
        XImage* image = GrabShm(root, attributes);
        const bool shared = image != nullptr;
        if (!image) image = XGetImage(display_, root, 0, 0, static_cast<unsigned>(*width), static_cast<unsigned>(*height), AllPlanes, ZPixmap);
        if (!image) return false;
        pixels->resize(static_cast<size_t>(*width) * static_cast<size_t>(*height));
        const bool direct = image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->blue_mask == 0xFF;
        for (int y = 0; y < *height; ++y) {
            uint32_t* out = pixels->data() + static_cast<size_t>(y) * static_cast<size_t>(*width);
            if (direct) {
                const auto* row = reinterpret_cast<const uint32_t*>(image->data + static_cast<size_t>(y) * static_cast<size_t>(image->bytes_per_line));
                for (int x = 0; x < *width; ++x) out[x] = row[x] & 0xFFFFFF;
            } else {
                for (int x = 0; x < *width; ++x) {
                    const unsigned long p = XGetPixel(image, x, y);
                    out[x] = Channel(p, image->red_mask) << 16 | Channel(p, image->green_mask) << 8 |
                             Channel(p, image->blue_mask);
                }
            }
        }
        if (!shared) XDestroyImage(image);
        return true;
    }

private:
    XImage* GrabShm(Window root, const XWindowAttributes& attributes) {
        if (!XShmQueryExtension(display_)) return nullptr;
        if (!shmImage_ || shmImage_->width != attributes.width || shmImage_->height != attributes.height) {
            ReleaseShm();
            shmImage_ = XShmCreateImage(display_, attributes.visual, static_cast<unsigned>(attributes.depth), ZPixmap,
                                        nullptr, &shm_, static_cast<unsigned>(attributes.width),
                                        static_cast<unsigned>(attributes.height));
            if (!shmImage_) return nullptr;
            shm_.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(shmImage_->bytes_per_line) * static_cast<size_t>(shmImage_->height),
                                IPC_CREAT | 0600);
            if (shm_.shmid < 0) {
                XDestroyImage(shmImage_);
                shmImage_ = nullptr;
                return nullptr;
            }
            shm_.shmaddr = shmImage_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
            shm_.readOnly = False;
            attached_ = XShmAttach(display_, &shm_);
            XSync(display_, False);
            shmctl(shm_.shmid, IPC_RMID, nullptr); // freed when both sides detach
            if (!attached_) {
                ReleaseShm();
                return nullptr;
            }
        }
        return XShmGetImage(display_, root, shmImage_, 0, 0, AllPlanes) ? shmImage_ : nullptr;
    }
    void ReleaseShm() {
        if (!shmImage_) return;
        if (attached_) XShmDetach(display_, &shm_);
        shmdt(shm_.shmaddr);
        shmImage_->data = nullptr;
        XDestroyImage(shmImage_);
        shmImage_ = nullptr;
        attached_ = false;
    }

    Display* display_;
    XImage* shmImage_ = nullptr;
    XShmSegmentInfo shm_{};
    bool attached_ = false;
};

} // namespace

std::unique_ptr<ScreenSource> MakeX11ScreenSource() {
    return std::make_unique<X11ScreenSource>();
}

} // namespace vantrel
