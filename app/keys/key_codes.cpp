#include "app/keys/key_codes.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <string>

namespace vantrel {
namespace {

struct Pair {
    int from;
    int to;
};

template <size_t N>
int Look(const Pair (&table)[N], int key) {
    for (const Pair& p : table)
        if (p.from == key) return p.to;
    return 0;
}

// Set-1 scan codes of the usage table's keys (the E0-prefixed ones as 0xE0xx).
constexpr Pair kScanToUsage[] = {
    {0x01, 41}, {0x02, 30}, {0x03, 31}, {0x04, 32}, {0x05, 33}, {0x06, 34}, {0x07, 35}, {0x08, 36},
    {0x09, 37}, {0x0A, 38}, {0x0B, 39}, {0x0C, 45}, {0x0D, 46}, {0x0E, 42}, {0x0F, 43}, {0x10, 20},
    {0x11, 26}, {0x12, 8},  {0x13, 21}, {0x14, 23}, {0x15, 28}, {0x16, 24}, {0x17, 12}, {0x18, 18},
    {0x19, 19}, {0x1A, 47}, {0x1B, 48}, {0x1C, 40}, {0x1D, 224}, {0x1E, 4}, {0x1F, 22}, {0x20, 7},
    {0x21, 9},  {0x22, 10}, {0x23, 11}, {0x24, 13}, {0x25, 14}, {0x26, 15}, {0x27, 51}, {0x28, 52},
    {0x29, 53}, {0x2A, 225}, {0x2B, 49}, {0x2C, 29}, {0x2D, 27}, {0x2E, 6}, {0x2F, 25}, {0x30, 5},
    {0x31, 17}, {0x32, 16}, {0x33, 54}, {0x34, 55}, {0x35, 56}, {0x36, 229}, {0x37, 85}, {0x38, 226},
    {0x39, 44}, {0x3A, 57}, {0x3B, 58}, {0x3C, 59}, {0x3D, 60}, {0x3E, 61}, {0x3F, 62}, {0x40, 63},
    {0x41, 64}, {0x42, 65}, {0x43, 66}, {0x44, 67}, {0x45, 83}, {0x46, 71}, {0x47, 95}, {0x48, 96},
    {0x49, 97}, {0x4A, 86}, {0x4B, 92}, {0x4C, 93}, {0x4D, 94}, {0x4E, 87}, {0x4F, 89}, {0x50, 90},
    {0x51, 91}, {0x52, 98}, {0x53, 99}, {0x56, 100}, {0x57, 68}, {0x58, 69},
    {0xE01C, 88}, {0xE01D, 228}, {0xE035, 84}, {0xE037, 70}, {0xE038, 230}, {0xE047, 74}, {0xE048, 82},
    {0xE049, 75}, {0xE04B, 80}, {0xE04D, 79}, {0xE04F, 77}, {0xE050, 81}, {0xE051, 78}, {0xE052, 73},
    {0xE053, 76}, {0xE05B, 227}, {0xE05C, 231}, {0xE05D, 101},
};

// Virtual keys of the US layout and their scan codes.
constexpr Pair kUsVirtualToScan[] = {
    {27, 0x01},   {49, 0x02},   {50, 0x03},   {51, 0x04},   {52, 0x05},   {53, 0x06},   {54, 0x07},
    {55, 0x08},   {56, 0x09},   {57, 0x0A},   {48, 0x0B},   {189, 0x0C},  {187, 0x0D},  {8, 0x0E},
    {9, 0x0F},    {81, 0x10},   {87, 0x11},   {69, 0x12},   {82, 0x13},   {84, 0x14},   {89, 0x15},
    {85, 0x16},   {73, 0x17},   {79, 0x18},   {80, 0x19},   {219, 0x1A},  {221, 0x1B},  {13, 0x1C},
    {17, 0x1D},   {162, 0x1D},  {65, 0x1E},   {83, 0x1F},   {68, 0x20},   {70, 0x21},   {71, 0x22},
    {72, 0x23},   {74, 0x24},   {75, 0x25},   {76, 0x26},   {186, 0x27},  {222, 0x28},  {192, 0x29},
    {16, 0x2A},   {160, 0x2A},  {220, 0x2B},  {90, 0x2C},   {88, 0x2D},   {67, 0x2E},   {86, 0x2F},
    {66, 0x30},   {78, 0x31},   {77, 0x32},   {188, 0x33},  {190, 0x34},  {191, 0x35},  {161, 0x36},
    {106, 0x37},  {18, 0x38},   {164, 0x38},  {32, 0x39},   {20, 0x3A},   {112, 0x3B},  {113, 0x3C},
    {114, 0x3D},  {115, 0x3E},  {116, 0x3F},  {117, 0x40},  {118, 0x41},  {119, 0x42},  {120, 0x43},
    {121, 0x44},  {144, 0x45},  {145, 0x46},  {103, 0x47},  {104, 0x48},  {105, 0x49},  {109, 0x4A},
    {100, 0x4B},  {101, 0x4C},  {102, 0x4D},  {107, 0x4E},  {97, 0x4F},   {98, 0x50},   {99, 0x51},
    {96, 0x52},   {110, 0x53},  {226, 0x56},  {122, 0x57},  {123, 0x58},  {13, 0xE01C},  {163, 0xE01D}, {111, 0xE035},
    {44, 0xE037}, {165, 0xE038}, {36, 0xE047}, {38, 0xE048}, {33, 0xE049}, {37, 0xE04B}, {39, 0xE04D},
    {35, 0xE04F}, {40, 0xE050}, {34, 0xE051}, {45, 0xE052}, {46, 0xE053}, {91, 0xE05B}, {92, 0xE05C},
    {93, 0xE05D},
};

// Keys whose usage does not depend on the layout. Pause has no scan code of its own (its make
// code is a sequence), so it is named here.
constexpr Pair kFixedUsage[] = {{91, 227}, {92, 231}, {93, 101}, {160, 225}, {161, 229},
                                {162, 224}, {163, 228}, {164, 226}, {165, 230}, {19, 72}};

// evdev codes up to 88 are the set-1 scan codes; the rest are listed.
constexpr Pair kEvdevExtended[] = {
    {KEY_KPENTER, 0xE01C}, {KEY_RIGHTCTRL, 0xE01D}, {KEY_KPSLASH, 0xE035}, {KEY_SYSRQ, 0xE037},
    {KEY_RIGHTALT, 0xE038}, {KEY_HOME, 0xE047},      {KEY_UP, 0xE048},      {KEY_PAGEUP, 0xE049},
    {KEY_LEFT, 0xE04B},     {KEY_RIGHT, 0xE04D},     {KEY_END, 0xE04F},     {KEY_DOWN, 0xE050},
    {KEY_PAGEDOWN, 0xE051}, {KEY_INSERT, 0xE052},    {KEY_DELETE, 0xE053},  {KEY_LEFTMETA, 0xE05B},
    {KEY_RIGHTMETA, 0xE05C}, {KEY_COMPOSE, 0xE05D},
};

constexpr Pair kEvdevMediaToVirtual[] = {
    {KEY_PAUSE, 19},         {KEY_MUTE, 173},         {KEY_VOLUMEDOWN, 174},  {KEY_VOLUMEUP, 175},
    {KEY_NEXTSONG, 176},     {KEY_PREVIOUSSONG, 177}, {KEY_STOPCD, 178},      {KEY_PLAYPAUSE, 179},
    {KEY_MAIL, 180},         {KEY_MEDIA, 181},        {KEY_BACK, 166},        {KEY_FORWARD, 167},
    {KEY_REFRESH, 168},      {KEY_STOP, 169},         {KEY_SEARCH, 170},      {KEY_BOOKMARKS, 171},
    {KEY_HOMEPAGE, 172},
};

constexpr Pair kKeysymToVirtual[] = {
    {XK_Return, 13},      {XK_Escape, 27},      {XK_BackSpace, 8},    {XK_Tab, 9},          {XK_ISO_Left_Tab, 9},
    {XK_space, 32},       {XK_minus, 189},      {XK_underscore, 189}, {XK_equal, 187},      {XK_plus, 187},
    {XK_bracketleft, 219}, {XK_braceleft, 219}, {XK_bracketright, 221}, {XK_braceright, 221},
    {XK_backslash, 220},  {XK_bar, 220},        {XK_semicolon, 186},  {XK_colon, 186},      {XK_apostrophe, 222},
    {XK_quotedbl, 222},   {XK_grave, 192},      {XK_asciitilde, 192}, {XK_comma, 188},      {XK_less, 188},
    {XK_period, 190},     {XK_greater, 190},    {XK_slash, 191},      {XK_question, 191},   {XK_Caps_Lock, 20},
    {XK_Print, 44},       {XK_Scroll_Lock, 145}, {XK_Pause, 19},      {XK_Insert, 45},      {XK_Home, 36},
    {XK_Prior, 33},       {XK_Delete, 46},      {XK_End, 35},         {XK_Next, 34},        {XK_Right, 39},
    {XK_Left, 37},        {XK_Down, 40},        {XK_Up, 38},          {XK_Num_Lock, 144},   {XK_KP_Divide, 111},
    {XK_KP_Multiply, 106}, {XK_KP_Subtract, 109}, {XK_KP_Add, 107},   {XK_KP_Enter, 13},    {XK_KP_Decimal, 110},
    {XK_KP_Delete, 110},  {XK_KP_0, 96},        {XK_KP_Insert, 96},   {XK_KP_1, 97},        {XK_KP_End, 97},
    {XK_KP_2, 98},        {XK_KP_Down, 98},     {XK_KP_3, 99},        {XK_KP_Next, 99},     {XK_KP_4, 100},
    {XK_KP_Left, 100},    {XK_KP_5, 101},       {XK_KP_Begin, 101},   {XK_KP_6, 102},       {XK_KP_Right, 102},
    {XK_KP_7, 103},       {XK_KP_Home, 103},    {XK_KP_8, 104},       {XK_KP_Up, 104},      {XK_KP_9, 105},
    {XK_KP_Prior, 105},   {XK_Menu, 93},        {XK_Control_L, 162},  {XK_Control_R, 163},  {XK_Shift_L, 160},
    {XK_Shift_R, 161},    {XK_Alt_L, 164},      {XK_Alt_R, 165},      {XK_ISO_Level3_Shift, 165},
    {XK_Super_L, 91},     {XK_Super_R, 92},
    {XF86XK_AudioMute, 173}, {XF86XK_AudioLowerVolume, 174}, {XF86XK_AudioRaiseVolume, 175},
    {XF86XK_AudioNext, 176}, {XF86XK_AudioPrev, 177}, {XF86XK_AudioStop, 178}, {XF86XK_AudioPlay, 179},
    {XF86XK_Mail, 180},   {XF86XK_AudioMedia, 181}, {XF86XK_Back, 166}, {XF86XK_Forward, 167},
    {XF86XK_Reload, 168}, {XF86XK_Stop, 169},   {XF86XK_Search, 170}, {XF86XK_Favorites, 171},
    {XF86XK_HomePage, 172},
};

struct Name {
    int code;
    const char16_t* name;
};

constexpr Name kDeviceNames[] = {
    {40, u"ENTER"}, {41, u"ESC"},    {42, u"backspace"}, {43, u"TAB"},    {44, u"SPACE"},   {45, u"-_"},
    {46, u"+="},    {47, u"[{"},     {48, u"]}"},        {49, u"\\"},     {51, u";:"},      {52, u"'"},
    {53, u"~`"},    {54, u"<,"},     {55, u">."},        {56, u"/?"},     {57, u"CAPS"},    {70, u"PRTSC"},
    {71, u"SCRLK"}, {72, u"PASE"},   {73, u"INS"},       {74, u"HOME"},   {75, u"PG UP"},   {76, u"DEL"},
    {77, u"END"},   {78, u"PG DN"},  {79, u"RIGHT"},     {80, u"LEFT"},   {81, u"DOWN"},    {82, u"UP"},
    {83, u"NumLock"}, {84, u"/"},    {85, u"*"},         {86, u"-"},      {87, u"+"},       {88, u"Enter"},
    {99, u"."},     {101, u"MENU"},  {175, u"FN"},       {224, u"CTRL"},  {225, u"SHIFT"},  {226, u"ALT"},
    {227, u"WIN"},  {228, u"RCTRL"}, {229, u"RSHIFT"},   {230, u"RALT"},
};

// Key names of the US layout by scan code, as the layout reports them.
constexpr Name kUsKeyNames[] = {
    {0x01, u"Esc"},       {0x0C, u"-"},          {0x0D, u"="},         {0x0E, u"Backspace"}, {0x0F, u"Tab"},
    {0x1A, u"["},         {0x1B, u"]"},          {0x1C, u"Enter"},     {0x1D, u"Ctrl"},      {0x27, u";"},
    {0x28, u"'"},         {0x29, u"`"},          {0x2A, u"Shift"},     {0x2B, u"\\"},        {0x33, u","},
    {0x34, u"."},         {0x35, u"/"},          {0x36, u"Right Shift"}, {0x37, u"Num *"},   {0x38, u"Alt"},
    {0x39, u"Space"},     {0x3A, u"Caps Lock"},  {0x45, u"Pause"},     {0x46, u"Scroll Lock"}, {0x47, u"Num 7"},
    {0x48, u"Num 8"},     {0x49, u"Num 9"},      {0x4A, u"Num -"},     {0x4B, u"Num 4"},     {0x4C, u"Num 5"},
    {0x4D, u"Num 6"},     {0x4E, u"Num +"},      {0x4F, u"Num 1"},     {0x50, u"Num 2"},     {0x51, u"Num 3"},
    {0x52, u"Num 0"},     {0x53, u"Num Del"},    {0x56, u"\\"},        {0xE01C, u"Num Enter"}, {0xE01D, u"Right Ctrl"},
    {0xE035, u"Num /"},   {0xE037, u"Prnt Scrn"}, {0xE038, u"Right Alt"}, {0xE047, u"Home"},  {0xE048, u"Up"},
    {0xE049, u"Page Up"}, {0xE04B, u"Left"},     {0xE04D, u"Right"},   {0xE04F, u"End"},     {0xE050, u"Down"},
    {0xE051, u"Page Down"}, {0xE052, u"Insert"}, {0xE053, u"Delete"},  {0xE05B, u"Left Windows"},
    {0xE05C, u"Right Windows"}, {0xE05D, u"Application"},
};

std::u16string Number(int n) {
    std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

} // namespace

int UsKeyboardLayout::ScanCode(int virtualKey) const {
    return Look(kUsVirtualToScan, virtualKey);
}

std::u16string UsKeyboardLayout::KeyName(int scanCode) const {
    for (const Name& n : kUsKeyNames)
        if (n.code == scanCode) return n.name;
    const int usage = ScanCodeToUsage(scanCode);
    if (usage >= 4 && usage <= 29) return std::u16string(1, static_cast<char16_t>(u'A' + usage - 4));
    if (usage >= 30 && usage <= 38) return std::u16string(1, static_cast<char16_t>(u'1' + usage - 30));
    if (usage == 39) return u"0";
    if (usage >= 58 && usage <= 69) return u"F" + Number(usage - 57);
    return {};
}

std::optional<std::u16string> DeviceKeyName(int code) {
    if (code >= 4 && code <= 29) return std::u16string(1, static_cast<char16_t>(u'A' + code - 4));
    if (code >= 30 && code <= 38) return std::u16string(1, static_cast<char16_t>(u'1' + code - 30));
    if (code >= 89 && code <= 97) return std::u16string(1, static_cast<char16_t>(u'1' + code - 89));
    if (code == 39 || code == 98) return u"0";
    if (code >= 58 && code <= 69) return u"F" + Number(code - 57);
    for (const Name& n : kDeviceNames)
        if (n.code == code) return n.name;
    return std::nullopt;
}

int ScanCodeToUsage(int scanCode) {
    return Look(kScanToUsage, scanCode);
}

int MacroKeyToUsage(int virtualKey, const KeyboardLayout& layout) {
    if (int fixed = Look(kFixedUsage, virtualKey)) return fixed;
    return ScanCodeToUsage(layout.ScanCode(virtualKey));
}

CapturedKey CapturedKeyName(int virtualKey, const KeyboardLayout& layout) {
    switch (virtualKey) {
    case 19: return {u"Pause", 19};
    case 44: return {u"Print Screen", 44};
    case 91: return {u"Windows", 91};
    case 92: return {u"RWindows", 92};
    case 93: return {u"Application", 93};
    case 144: return {u"Num Lock", 144};
    case 16: case 160: return {u"Shift", 160};
    case 17: case 162: return {u"Ctrl", 162};
    case 18: case 164: return {u"Alt", 164};
    case 161: return {u"RShift", 161};
    case 163: return {u"RCtrl", 163};
    case 165: return {u"RAlt", 165};
    default: return {layout.KeyName(layout.ScanCode(virtualKey)), virtualKey};
    }
}

int KeysymToVirtualKey(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) return static_cast<int>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z) return static_cast<int>('A' + (keysym - XK_A));
    if (keysym >= XK_0 && keysym <= XK_9) return static_cast<int>('0' + (keysym - XK_0));
    if (keysym >= XK_F1 && keysym <= XK_F12) return static_cast<int>(112 + (keysym - XK_F1));
    for (const Pair& p : kKeysymToVirtual)
        if (static_cast<unsigned long>(p.from) == keysym) return p.to;
    return 0;
}

int EvdevToUsage(int evdevCode) {
    if (evdevCode == KEY_PAUSE) return 72;
    const int scan = evdevCode <= 88 ? evdevCode : Look(kEvdevExtended, evdevCode);
    return ScanCodeToUsage(scan);
}

int EvdevToVirtualKey(int evdevCode) {
    if (int media = Look(kEvdevMediaToVirtual, evdevCode)) return media;
    const int scan = evdevCode <= 88 ? evdevCode : Look(kEvdevExtended, evdevCode);
    if (scan == 0) return 0;
    // The US layout's virtual key of the physical key; the generic modifiers come out as the
    // left-hand keys, as stored values carry them.
    for (const Pair& p : kUsVirtualToScan)
        if (p.to == scan && p.from != 16 && p.from != 17 && p.from != 18) return p.from;
    return 0;
}

} // namespace vantrel
