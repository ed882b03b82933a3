#include "pelta/core/manager.h"

#include <unistd.h>

#include <map>
#include <mutex>

#include "pelta/core/text.h"
#include "pelta/core/window.h"

namespace Pelta {
namespace {

// Written at start-up on the UI thread, read from any thread afterwards.
struct Settings {
    std::mutex mutex;
    std::u16string deviceName = u"Vantrel";
    std::u16string fontName = u"SourceHanSansCN-Regular";
    int fontSize = 14;
    std::filesystem::path resources;
};

std::mutex windowsMutex;
std::map<HWND, MWindow*>& Windows() {
    static std::map<HWND, MWindow*> windows;
    return windows;
}

Settings& TheSettings() {
    static Settings settings;
    return settings;
}

} // namespace

void Manager::SetDeviceName(const std::u16string& name) {
    std::lock_guard lock(TheSettings().mutex);
    TheSettings().deviceName = name;
}

std::u16string Manager::GetDeviceName() {
    std::lock_guard lock(TheSettings().mutex);
    return TheSettings().deviceName;
}

void Manager::SetFontName(const std::u16string& name) {
    std::lock_guard lock(TheSettings().mutex);
    TheSettings().fontName = name;
}

void Manager::SetFont(const std::u16string& name, int size) {
    std::lock_guard lock(TheSettings().mutex);
    TheSettings().fontName = name;
    TheSettings().fontSize = size;
}

std::u16string Manager::GetFontName() {
    std::lock_guard lock(TheSettings().mutex);
    return TheSettings().fontName;
}

int Manager::GetFontWidth() {
    std::lock_guard lock(TheSettings().mutex);
    return TheSettings().fontSize;
}

std::u16string Manager::GetTheme() {
    return u"theme1/";
}

uint32_t Manager::GetSelectColor() {
    return 0xFF285055;
}

static std::filesystem::path ProgramFolder() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::current_path() : self.parent_path();
}

void Manager::SetResourceFolder(const std::filesystem::path& folder) {
    std::lock_guard lock(TheSettings().mutex);
    TheSettings().resources = folder;
}

std::filesystem::path Manager::GetResourceFolder() {
    std::lock_guard lock(TheSettings().mutex);
    if (TheSettings().resources.empty()) TheSettings().resources = ProgramFolder();
    return TheSettings().resources;
}

std::filesystem::path Manager::GetSkinFolder() {
    std::string theme = ToUtf8(GetTheme());
    while (!theme.empty() && (theme.back() == '/' || theme.back() == '\\')) theme.pop_back();
    return GetResourceFolder() / "skins" / theme;
}

int Manager::PreTranslateMessage(const MSG&) {
    const WindowSystem& system = WindowSystem::Current();
    return system.IsKeyDown(VK_MENU) && system.IsKeyDown(VK_F4) ? 1 : 0;
}

int Manager::MessageLoop() {
    WindowSystem& system = WindowSystem::Current();
    MSG msg;
    while (system.GetMessage(msg)) {
        // Alt+F4 never closes a window run by this loop: the program decides what closing means.
        if (PreTranslateMessage(msg)) continue;
        MWindow* window = FindWnd(msg.hwnd);
        if (window && window->PreTranslateMessage(msg)) continue;
        MWindow::DispatchMessage(msg);
    }
    return static_cast<int>(msg.wParam);
}

int Manager::PumpMessages() {
    WindowSystem& system = WindowSystem::Current();
    int handled = 0;
    MSG msg;
    while (system.PeekMessage(msg)) {
        if (msg.message == WM_QUIT) {
            system.PostQuit(static_cast<int>(msg.wParam));
            break;
        }
        ++handled;
        if (PreTranslateMessage(msg)) continue;
        MWindow* window = FindWnd(msg.hwnd);
        if (window && window->PreTranslateMessage(msg)) continue;
        MWindow::DispatchMessage(msg);
    }
    return handled;
}

void Manager::AddWnd(MWindow* window) {
    std::lock_guard lock(windowsMutex);
    Windows()[window->GetSafeHwnd()] = window;
}

void Manager::DeleteWnd(MWindow* window) {
    std::lock_guard lock(windowsMutex);
    for (auto it = Windows().begin(); it != Windows().end();)
        it = it->second == window ? Windows().erase(it) : std::next(it);
}

MWindow* Manager::FindWnd(HWND handle) {
    std::lock_guard lock(windowsMutex);
    auto it = Windows().find(handle);
    return it == Windows().end() ? nullptr : it->second;
}

size_t Manager::WindowCount() {
    std::lock_guard lock(windowsMutex);
    return Windows().size();
}

} // namespace Pelta
