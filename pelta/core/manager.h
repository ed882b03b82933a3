// Manager: Pelta's process-wide settings (product name, theme, default font, where skins and fonts
// are) and the process's message loop.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "pelta/core/api.h"
#include "pelta/core/messages.h"

namespace Pelta {

class MWindow;

class PELTA_API Manager {
public:
    // Storage for the program's product name; Pelta itself does not use it.
    static void SetDeviceName(const std::u16string& name);
    static std::u16string GetDeviceName();

    static void SetFontName(const std::u16string& name);
    static void SetFont(const std::u16string& name, int size);
    static std::u16string GetFontName();
    static int GetFontWidth();

    // Sub-folder of "skins" holding the current skin.
    static std::u16string GetTheme();
    // ARGB colour of selections.
    static uint32_t GetSelectColor();

    // The folder holding "skins/" and "font/"; by default the running program's folder.
    static void SetResourceFolder(const std::filesystem::path& folder);
    static std::filesystem::path GetResourceFolder();
    // resources/skins/<theme>/
    static std::filesystem::path GetSkinFolder();

    // Runs until WM_QUIT; drops every message taken while Alt and F4 are both held.
    static int MessageLoop();
    // 1 while Alt and F4 are both held.
    static int PreTranslateMessage(const MSG& msg);
    // Dispatches whatever is queued now, without waiting; the number of messages handled.
    static int PumpMessages();

    // The process-wide window list.
    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static MWindow* FindWnd(HWND handle);
    static size_t WindowCount();
};

} // namespace Pelta
