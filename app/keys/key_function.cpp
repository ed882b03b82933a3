#include "app/keys/key_function.h"

namespace vantrel {

const std::vector<FunctionListItem>& FunctionList() {
    static const std::vector<FunctionListItem> list = [] {
        std::vector<FunctionListItem> items = {
            {u"My computer", u"icon//icon_pc.png", "my-computer", 249},
            {u"Calculator", u"icon//icon_cal.png", "calculator", 242},
            {u"Mail", u"icon//icon_email.png", "mail", 240},
            {u"Media player", u"icon//icon_multimedia.png", "media-player", 232},
            {u"Play/Pause", u"icon//icon_playpause.png", "play-pause", 238},
            {u"Stop", u"icon//icon_stop.png", "stop", 236},
            {u"Previous track", u"icon//icon_pre.png", "previous", 237},
            {u"Next track", u"icon//icon_next.png", "next", 239},
            {u"Volume down", u"icon//icon_vol_down.png", "volume-down", 233},
            {u"Volume up", u"icon//icon_vol_up.png", "volume-up", 234},
            {u"Mute", u"icon//icon_vol_mute.png", "mute", 235},
            {u"Web home", u"icon//icon_home.png", "web-home", 241},
            {u"Web refresh", u"icon//icon_web_refresh.png", "web-refresh", 246},
            {u"Web stop", u"icon//icon_web_stop.png", "web-stop", 245},
            {u"Web back", u"icon//icon_web_backward.png", "web-back", 243},
            {u"Web forward", u"icon//icon_web_foreward.png", "web-forward", 244},
            {u"Web favorites", u"icon//icon_favorites.png", "web-favorites", 248},
            {u"Web search", u"icon//icon_web_search.png", "web-search", 247},
            {u"Esc", nullptr, "esc", 41},
        };
        static const char16_t* const kF[] = {u"F1", u"F2", u"F3", u"F4", u"F5", u"F6",
                                             u"F7", u"F8", u"F9", u"F10", u"F11", u"F12"};
        static const char* const kFIds[] = {"f1", "f2", "f3", "f4", "f5", "f6", "f7", "f8", "f9", "f10", "f11", "f12"};
        for (int i = 0; i < 12; ++i) items.push_back({kF[i], nullptr, kFIds[i], 58 + i});
        const FunctionListItem rest[] = {
            {u"Print", nullptr, "print", 70}, {u"Scroll Lock", nullptr, "scroll-lock", 71},
            {u"Pause", nullptr, "pause", 72}, {u"~", nullptr, "grave", 53},
            {u"1", nullptr, "1", 30}, {u"2", nullptr, "2", 31}, {u"3", nullptr, "3", 32}, {u"4", nullptr, "4", 33},
            {u"5", nullptr, "5", 34}, {u"6", nullptr, "6", 35}, {u"7", nullptr, "7", 36}, {u"8", nullptr, "8", 37},
            {u"9", nullptr, "9", 38}, {u"0", nullptr, "0", 39}, {u"-", nullptr, "minus", 45},
            {u"=", nullptr, "equal", 46}, {u"Back", nullptr, "backspace", 42}, {u"Ins", nullptr, "insert", 73},
            {u"Home", nullptr, "home", 74}, {u"PgUp", nullptr, "page-up", 75}, {u"Del", nullptr, "delete", 76},
            {u"End", nullptr, "end", 77}, {u"PgDn", nullptr, "page-down", 78}, {u"Tab", nullptr, "tab", 43},
        };
        items.insert(items.end(), std::begin(rest), std::end(rest));
        static const char16_t* const kLetters[] = {u"A", u"B", u"C", u"D", u"E", u"F", u"G", u"H", u"I",
                                                   u"J", u"K", u"L", u"M", u"N", u"O", u"P", u"Q", u"R",
                                                   u"S", u"T", u"U", u"V", u"W", u"X", u"Y", u"Z"};
        static const char* const kLetterIds[] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
                                                 "n", "o", "p", "q", "r", "s", "t", "u", "v", "w", "x", "y", "z"};
        for (int i = 0; i < 26; ++i) items.push_back({kLetters[i], nullptr, kLetterIds[i], 4 + i});
        const FunctionListItem more[] = {
            {u"[", nullptr, "left-bracket", 47}, {u"]", nullptr, "right-bracket", 48},
            {u"\\", nullptr, "backslash", 49}, {u"Caps", nullptr, "caps-lock", 57},
            {u";", nullptr, "semicolon", 51}, {u"'", nullptr, "apostrophe", 52},
            {u"Enter", nullptr, "enter", 40}, {u"Shift", nullptr, "shift", 225},
            {u",<", nullptr, "comma", 54}, {u".>", nullptr, "period", 55}, {u"/?", nullptr, "slash", 56},
            {u"Shift", nullptr, "right-shift", 229}, {u"Up", nullptr, "up", 82}, {u"Ctrl", nullptr, "ctrl", 224},
            {u"Win", nullptr, "win", 227}, {u"Alt", nullptr, "alt", 226}, {u"Space", nullptr, "space", 44},
            {u"Alt", nullptr, "right-alt", 230}, {u"App", nullptr, "menu", 101},
            {u"Ctrl", nullptr, "right-ctrl", 228}, {u"Left", nullptr, "left", 80}, {u"Down", nullptr, "down", 81},
            {u"Right", nullptr, "right", 79}, {u"NumLock", nullptr, "num-lock", 83}, {u"/", nullptr, "kp-divide", 84},
            {u"*", nullptr, "kp-multiply", 85}, {u"-", nullptr, "kp-minus", 86}, {u"+", nullptr, "kp-plus", 87},
            {u"Enter", nullptr, "kp-enter", 88},
        };
        items.insert(items.end(), std::begin(more), std::end(more));
        static const char16_t* const kDigits[] = {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"};
        static const char* const kPadIds[] = {"kp-1", "kp-2", "kp-3", "kp-4", "kp-5", "kp-6", "kp-7", "kp-8", "kp-9"};
        for (int i = 0; i < 9; ++i) items.push_back({kDigits[i], nullptr, kPadIds[i], 89 + i});
        items.push_back({u"0", nullptr, "kp-0", 98});
        items.push_back({u".", nullptr, "kp-period", 99});
        return items;
    }();
    return list;
}

const FunctionListItem* FindFunctionItem(int value) {
    for (const FunctionListItem& item : FunctionList())
        if (item.value == value) return &item;
    return nullptr;
}

const std::vector<SystemShortcut>& SystemShortcuts() {
    static const std::vector<SystemShortcut> shortcuts = [] {
        auto chord = [](uint8_t m, uint8_t k) {
            return std::vector<ShortcutEvent>{{m, false}, {k, false}, {k, true}, {m, true}};
        };
        auto window = [](uint8_t k) {
            return std::vector<ShortcutEvent>{{0xE2, false}, {0x2C, false}, {k, false}, {k, true}, {0x2C, true}, {0xE2, true}};
        };
        return std::vector<SystemShortcut>{
            {1, "ctrl+a", chord(0xE0, 0x04)},      {2, "ctrl+c", chord(0xE0, 0x06)},
            {3, "ctrl+x", chord(0xE0, 0x1B)},      {4, "ctrl+v", chord(0xE0, 0x19)},
            {5, "ctrl+z", chord(0xE0, 0x1D)},      {6, "ctrl+s", chord(0xE0, 0x16)},
            {7, "win+e", chord(0xE3, 0x08)},       {8, "win+l", chord(0xE3, 0x0F)},
            {9, "win+d", chord(0xE3, 0x07)},       {10, "alt+tab", chord(0xE2, 0x2B)},
            {11, "win+m", chord(0xE3, 0x10)},      {12, "ctrl+w", chord(0xE0, 0x1A)},
            {13, "alt+space,x", window(0x1B)},     {14, "alt+space,n", window(0x11)},
            {15, "alt+f4", chord(0xE2, 0x3D)},
        };
    }();
    return shortcuts;
}

const SystemShortcut* FindShortcut(int value) {
    for (const SystemShortcut& s : SystemShortcuts())
        if (s.value == value) return &s;
    return nullptr;
}

} // namespace vantrel
