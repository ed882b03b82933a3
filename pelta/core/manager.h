// Manager: Pelta's process-wide settings (product name, theme, default font).
#pragma once

#include <cstdint>
#include <string>

#if defined(PELTA_BUILD)
#define PELTA_API __attribute__((visibility("default")))
#else
#define PELTA_API
#endif

namespace pelta {

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
};

} // namespace pelta
