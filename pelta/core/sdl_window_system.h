// Real windows through SDL2 (X11 or Wayland): SDL events become Pelta window messages.
#pragma once

#include <map>

#include "pelta/core/window_system.h"

namespace Pelta {

class PELTA_API SdlWindowSystem : public WindowSystem {
public:
    // Null when SDL's video cannot start (no display).
    static std::unique_ptr<SdlWindowSystem> Open();
    ~SdlWindowSystem() override;

    std::unique_ptr<NativeWindow> CreateNativeWindow(HWND handle, const WindowParams& params) override;
    bool IsKeyDown(unsigned vk) const override;
    CRect WorkArea() const override;
    CPoint CursorPos() const override;

    void Forget(uint32_t sdlWindowId);

protected:
    void ReadNativeEvents(int timeoutMs) override;
    void Wake() override;

private:
    SdlWindowSystem() = default;
    void Translate(const void* sdlEvent);

    uint32_t wakeEvent_ = 0;
    std::mutex mapMutex_;
    std::map<uint32_t, HWND> windows_; // SDL window id -> handle
};

// SDL key code -> virtual key (0 when it has none).
PELTA_API unsigned VirtualKeyFromSdl(int sdlKeycode);

} // namespace Pelta
