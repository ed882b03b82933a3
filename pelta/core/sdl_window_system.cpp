#include "pelta/core/sdl_window_system.h"

#include <SDL.h>

#include "pelta/core/text.h"

namespace Pelta {

namespace {

class SdlWindow : public NativeWindow {
public:
    SdlWindow(SdlWindowSystem& system, SDL_Window* window) : system_(system), window_(window) {}
    ~SdlWindow() override {
        system_.Forget(SDL_GetWindowID(window_));
        for (auto& [kind, cursor] : cursors_) SDL_FreeCursor(cursor);
        SDL_DestroyWindow(window_);
    }
    void Show(int cmd) override {
        switch (cmd) {
        case SW_HIDE: SDL_HideWindow(window_); break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED: SDL_MinimizeWindow(window_); break;
        case SW_MAXIMIZE: SDL_MaximizeWindow(window_); break;
        case SW_RESTORE: SDL_RestoreWindow(window_); SDL_ShowWindow(window_); break;
        default: SDL_ShowWindow(window_); break;
        }
    }
    bool IsVisible() const override { return SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN; }
    bool IsMinimized() const override { return SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED; }
    bool IsMaximized() const override { return SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED; }
    CRect GetWindowRect() const override {
        int x, y, w, h;
        SDL_GetWindowPosition(window_, &x, &y);
        SDL_GetWindowSize(window_, &w, &h);
        return CRect::FromSize(x, y, w, h);
    }
    void SetWindowRect(CRect r) override {
        SDL_SetWindowPosition(window_, r.left, r.top);
        SDL_SetWindowSize(window_, std::max(1, r.Width()), std::max(1, r.Height()));
    }
    void SetSizeLimits(CSize minimum, CSize maximum) override {
        SDL_SetWindowMinimumSize(window_, std::max(1, minimum.cx), std::max(1, minimum.cy));
        // SDL has no "no limit": a very large maximum stands for it.
        SDL_SetWindowMaximumSize(window_, maximum.cx > 0 ? maximum.cx : 16384, maximum.cy > 0 ? maximum.cy : 16384);
    }
    void SetTitle(const std::string& title) override { SDL_SetWindowTitle(window_, title.c_str()); }
    std::string GetTitle() const override { return SDL_GetWindowTitle(window_); }
    void SetTopMost(bool topMost) override { SDL_SetWindowAlwaysOnTop(window_, topMost ? SDL_TRUE : SDL_FALSE); }
    void SetOpacity(double opacity) override { SDL_SetWindowOpacity(window_, static_cast<float>(opacity)); }
    void Raise() override { SDL_RaiseWindow(window_); }
    void SetCapture(bool capture) override { SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE); }
    void SetCursor(CursorKind kind) override {
        static const std::map<CursorKind, SDL_SystemCursor> kSystem = {
            {CursorKind::Arrow, SDL_SYSTEM_CURSOR_ARROW},   {CursorKind::Wait, SDL_SYSTEM_CURSOR_WAIT},
            {CursorKind::Cross, SDL_SYSTEM_CURSOR_CROSSHAIR}, {CursorKind::SizeWE, SDL_SYSTEM_CURSOR_SIZEWE},
            {CursorKind::SizeNS, SDL_SYSTEM_CURSOR_SIZENS}, {CursorKind::Hand, SDL_SYSTEM_CURSOR_HAND},
            {CursorKind::Help, SDL_SYSTEM_CURSOR_ARROW}};
        auto it = kSystem.find(kind);
        if (it == kSystem.end()) return;
        SDL_Cursor*& cursor = cursors_[kind];
        if (!cursor) cursor = SDL_CreateSystemCursor(it->second);
        if (cursor) SDL_SetCursor(cursor);
    }
    void Present(cairo_surface_t* picture, CRect area) override {
        SDL_Surface* target = SDL_GetWindowSurface(window_);
        if (!target || !picture) return;
        cairo_surface_flush(picture);
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
            cairo_image_surface_get_data(picture), cairo_image_surface_get_width(picture),
            cairo_image_surface_get_height(picture), 32, cairo_image_surface_get_stride(picture),
            SDL_PIXELFORMAT_ARGB8888);
        if (!source) return;
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        SDL_Rect r{area.left, area.top, area.Width(), area.Height()};
        SDL_BlitSurface(source, &r, target, &r);
        SDL_FreeSurface(source);
        SDL_UpdateWindowSurfaceRects(window_, &r, 1);
    }

private:
    SdlWindowSystem& system_;
    SDL_Window* window_;
    std::map<CursorKind, SDL_Cursor*> cursors_;
};

unsigned MouseFlags(uint32_t buttons) {
    unsigned flags = 0;
    if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    const SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT) flags |= MK_SHIFT;
    if (mod & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
}

} // namespace

unsigned VirtualKeyFromSdl(int key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<unsigned>(key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<unsigned>(key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + static_cast<unsigned>(key - SDLK_F1);
    switch (key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return VK_DELETE;
    default: return 0;
    }
}

std::unique_ptr<SdlWindowSystem> SdlWindowSystem::Open() {
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    std::unique_ptr<SdlWindowSystem> system(new SdlWindowSystem);
    system->wakeEvent_ = SDL_RegisterEvents(1);
    SDL_StartTextInput();
    return system;
}

// SDL stays initialised for the rest of the process: shutting it down unloads the input-method
// libraries it opened while they still hold memory, and a later window system starts it again cheaply.
SdlWindowSystem::~SdlWindowSystem() = default;

std::unique_ptr<NativeWindow> SdlWindowSystem::CreateNativeWindow(HWND handle, const WindowParams& p) {
    uint32_t flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    switch (p.kind) {
    case WindowKind::Tooltip: flags |= SDL_WINDOW_TOOLTIP | SDL_WINDOW_SKIP_TASKBAR; break;
    case WindowKind::PopupMenu: flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_SKIP_TASKBAR; break;
    case WindowKind::Utility: flags |= SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR; break;
    case WindowKind::Normal:
        if (p.toolWindow) flags |= SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR;
        break;
    }
    if (p.topMost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Window* window = SDL_CreateWindow(p.title.c_str(), p.rect.left, p.rect.top, std::max(1, p.rect.Width()),
                                          std::max(1, p.rect.Height()), flags);
    if (!window) return nullptr;
    {
        std::lock_guard lock(mapMutex_);
        windows_[SDL_GetWindowID(window)] = handle;
    }
    return std::make_unique<SdlWindow>(*this, window);
}

void SdlWindowSystem::Forget(uint32_t id) {
    std::lock_guard lock(mapMutex_);
    windows_.erase(id);
}

bool SdlWindowSystem::IsKeyDown(unsigned vk) const {
    const SDL_Keymod mod = SDL_GetModState();
    switch (vk) {
    case VK_SHIFT: return mod & KMOD_SHIFT;
    case VK_CONTROL: return mod & KMOD_CTRL;
    case VK_MENU: return mod & KMOD_ALT;
    default: break;
    }
    const Uint8* state = SDL_GetKeyboardState(nullptr);
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc)
        if (state[sc] && VirtualKeyFromSdl(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(sc))) == vk) return true;
    return false;
}

CRect SdlWindowSystem::WorkArea() const {
    SDL_Rect r{0, 0, 1280, 800};
    SDL_GetDisplayUsableBounds(0, &r);
    return CRect::FromSize(r.x, r.y, r.w, r.h);
}

CPoint SdlWindowSystem::CursorPos() const {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    return {x, y};
}

void SdlWindowSystem::Wake() {
    SDL_Event e{};
    e.type = wakeEvent_;
    SDL_PushEvent(&e);
}

void SdlWindowSystem::ReadNativeEvents(int timeoutMs) {
    SDL_Event e;
    const int got = timeoutMs < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, timeoutMs);
    if (!got) return;
    Translate(&e);
    while (SDL_PollEvent(&e)) Translate(&e);
}

void SdlWindowSystem::Translate(const void* event) {
    const SDL_Event& e = *static_cast<const SDL_Event*>(event);
    const SDL_Keymod mod = e.type == SDL_KEYDOWN || e.type == SDL_KEYUP ? static_cast<SDL_Keymod>(e.key.keysym.mod)
                                                                        : SDL_GetModState();
    const unsigned keys = (mod & KMOD_SHIFT ? KS_SHIFT : 0u) | (mod & KMOD_CTRL ? KS_CTRL : 0u) | (mod & KMOD_ALT ? KS_ALT : 0u);
    const CPoint where = CursorPos();
    auto emit = [&](MSG m) {
        m.pt = where;
        m.keyState = keys;
        WindowSystem::Enqueue(m);
    };
    auto handleOf = [&](uint32_t id) -> HWND {
        std::lock_guard lock(mapMutex_);
        auto it = windows_.find(id);
        return it == windows_.end() ? 0 : it->second;
    };
    switch (e.type) {
    case SDL_MOUSEMOTION:
        if (HWND h = handleOf(e.motion.windowID))
            emit({h, WM_MOUSEMOVE, MouseFlags(e.motion.state), MakePointParam(e.motion.x, e.motion.y)});
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND h = handleOf(e.button.windowID);
        const bool right = e.button.button == SDL_BUTTON_RIGHT;
        if (!h || (e.button.button != SDL_BUTTON_LEFT && !right)) break;
        unsigned msg;
        if (e.type == SDL_MOUSEBUTTONUP)
            msg = right ? WM_RBUTTONUP : WM_LBUTTONUP;
        else if (e.button.clicks >= 2 && e.button.clicks % 2 == 0)
            msg = right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
        else
            msg = right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
        emit({h, msg, MouseFlags(SDL_GetMouseState(nullptr, nullptr)), MakePointParam(e.button.x, e.button.y)});
        break;
    }
    case SDL_MOUSEWHEEL:
        if (HWND h = handleOf(e.wheel.windowID)) {
            const CPoint p = CursorPos();
            emit({h, WM_MOUSEWHEEL, MakeWheelParam(e.wheel.y * 120, MouseFlags(SDL_GetMouseState(nullptr, nullptr))),
                     MakePointParam(p.x, p.y)});
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (HWND h = handleOf(e.key.windowID)) {
            const unsigned vk = VirtualKeyFromSdl(e.key.keysym.sym);
            if (!vk) break;
            const unsigned msg = e.type == SDL_KEYUP ? WM_KEYUP : (e.key.keysym.mod & KMOD_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN;
            emit({h, msg, vk, e.key.repeat ? 1L : 0L});
        }
        break;
    case SDL_TEXTINPUT:
        if (HWND h = handleOf(e.text.windowID))
            for (char16_t c : FromUtf8(e.text.text)) emit({h, WM_CHAR, c, 0});
        break;
    case SDL_WINDOWEVENT: {
        HWND h = handleOf(e.window.windowID);
        if (!h) break;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED: emit({h, WM_PAINT, 1, 0}); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: emit({h, WM_SIZE, 0, MakePointParam(e.window.data1, e.window.data2)}); break;
        case SDL_WINDOWEVENT_MOVED: emit({h, WM_MOVE, 0, MakePointParam(e.window.data1, e.window.data2)}); break;
        case SDL_WINDOWEVENT_LEAVE: emit({h, WM_MOUSELEAVE, 0, 0}); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: emit({h, WM_ACTIVATE, WA_INACTIVE, 0}); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: emit({h, WM_ACTIVATE, WA_ACTIVE, 0}); break;
        case SDL_WINDOWEVENT_CLOSE: emit({h, WM_CLOSE, 0, 0}); break;
        default: break;
        }
        break;
    }
    default: break;
    }
}

} // namespace Pelta
