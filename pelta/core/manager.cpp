#include "pelta/core/manager.h"

#include <mutex>

namespace pelta {
namespace {

// Written at start-up on the UI thread, read from any thread afterwards.
struct Settings {
    std::mutex mutex;
    std::u16string deviceName = u"Vantrel";
    std::u16string fontName = u"SourceHanSansCN-Regular";
    int fontSize = 14;
};

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

} // namespace pelta
