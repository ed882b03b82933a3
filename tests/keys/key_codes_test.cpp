#include "app/keys/key_codes.h"
#include "app/keys/key_function.h"

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <map>

namespace vantrel {
namespace {

// The keyboard-page usage of each key of the function list and its Linux input code.
const std::map<int, int> kUsageToEvdev = {
    {41, KEY_ESC}, {58, KEY_F1}, {59, KEY_F2}, {60, KEY_F3}, {61, KEY_F4}, {62, KEY_F5}, {63, KEY_F6},
    {64, KEY_F7}, {65, KEY_F8}, {66, KEY_F9}, {67, KEY_F10}, {68, KEY_F11}, {69, KEY_F12}, {70, KEY_SYSRQ},
    {71, KEY_SCROLLLOCK}, {72, KEY_PAUSE}, {53, KEY_GRAVE}, {30, KEY_1}, {31, KEY_2}, {32, KEY_3}, {33, KEY_4},
    {34, KEY_5}, {35, KEY_6}, {36, KEY_7}, {37, KEY_8}, {38, KEY_9}, {39, KEY_0}, {45, KEY_MINUS},
    {46, KEY_EQUAL}, {42, KEY_BACKSPACE}, {73, KEY_INSERT}, {74, KEY_HOME}, {75, KEY_PAGEUP}, {76, KEY_DELETE},
    {77, KEY_END}, {78, KEY_PAGEDOWN}, {43, KEY_TAB}, {4, KEY_A}, {5, KEY_B}, {6, KEY_C}, {7, KEY_D}, {8, KEY_E},
    {9, KEY_F}, {10, KEY_G}, {11, KEY_H}, {12, KEY_I}, {13, KEY_J}, {14, KEY_K}, {15, KEY_L}, {16, KEY_M},
    {17, KEY_N}, {18, KEY_O}, {19, KEY_P}, {20, KEY_Q}, {21, KEY_R}, {22, KEY_S}, {23, KEY_T}, {24, KEY_U},
    {25, KEY_V}, {26, KEY_W}, {27, KEY_X}, {28, KEY_Y}, {29, KEY_Z}, {47, KEY_LEFTBRACE}, {48, KEY_RIGHTBRACE},
    {49, KEY_BACKSLASH}, {57, KEY_CAPSLOCK}, {51, KEY_SEMICOLON}, {52, KEY_APOSTROPHE}, {40, KEY_ENTER},
    {225, KEY_LEFTSHIFT}, {54, KEY_COMMA}, {55, KEY_DOT}, {56, KEY_SLASH}, {229, KEY_RIGHTSHIFT}, {82, KEY_UP},
    {224, KEY_LEFTCTRL}, {227, KEY_LEFTMETA}, {226, KEY_LEFTALT}, {44, KEY_SPACE}, {230, KEY_RIGHTALT},
    {101, KEY_COMPOSE}, {228, KEY_RIGHTCTRL}, {80, KEY_LEFT}, {81, KEY_DOWN}, {79, KEY_RIGHT}, {83, KEY_NUMLOCK},
    {84, KEY_KPSLASH}, {85, KEY_KPASTERISK}, {86, KEY_KPMINUS}, {87, KEY_KPPLUS}, {88, KEY_KPENTER},
    {89, KEY_KP1}, {90, KEY_KP2}, {91, KEY_KP3}, {92, KEY_KP4}, {93, KEY_KP5}, {94, KEY_KP6}, {95, KEY_KP7},
    {96, KEY_KP8}, {97, KEY_KP9}, {98, KEY_KP0}, {99, KEY_KPDOT},
};

TEST(KeyCodes, EveryListKeyConvertsToItsOwnUsage) {
    UsKeyboardLayout us;
    int keys = 0, consumer = 0;
    for (const FunctionListItem& item : FunctionList()) {
        if (item.icon) {
            ++consumer;
            continue;
        }
        ++keys;
        auto evdev = kUsageToEvdev.find(item.value);
        ASSERT_NE(evdev, kUsageToEvdev.end()) << item.id;
        EXPECT_EQ(EvdevToUsage(evdev->second), item.value) << item.id;
        // Recorded through the keyboard: evdev code -> stored virtual key -> usage in the payload.
        // Keypad Enter shares its virtual key with Enter, so a recording cannot tell them apart.
        const int vk = EvdevToVirtualKey(evdev->second);
        EXPECT_NE(vk, 0) << item.id << " evdev " << evdev->second;
        if (item.value != 88) {
            EXPECT_EQ(MacroKeyToUsage(vk, us), item.value) << item.id << " vk " << vk;
        }
    }
    EXPECT_EQ(keys, 103);
    EXPECT_EQ(consumer, 18);
}

// A layout that swaps A and Q, as French keyboards do.
class AzertyLayout : public KeyboardLayout {
public:
    int ScanCode(int vk) const override { return vk == 'A' ? 0x10 : vk == 'Q' ? 0x1E : us_.ScanCode(vk); }
    std::u16string KeyName(int scan) const override { return us_.KeyName(scan); }

private:
    UsKeyboardLayout us_;
};

TEST(KeyCodes, MacroKeysFollowThePhysicalKey) {
    UsKeyboardLayout us;
    AzertyLayout azerty;
    EXPECT_EQ(MacroKeyToUsage(160, azerty), 225); // left Shift never asks the layout
    EXPECT_EQ(MacroKeyToUsage('A', us), 4);
    EXPECT_EQ(MacroKeyToUsage('A', azerty), 20);
    EXPECT_EQ(MacroKeyToUsage(106, us), 85);       // keypad *, not Print Screen
    EXPECT_EQ(MacroKeyToUsage(0xFF, us), 0);
}

TEST(KeyCodes, Names) {
    struct Case {
        int code;
        const char16_t* name;
    } cases[] = {{175, u"FN"}, {72, u"PASE"}, {4, u"A"}, {39, u"0"}, {98, u"0"}, {93, u"5"}, {69, u"F12"},
                 {230, u"RALT"}, {100, nullptr}, {0, nullptr}};
    for (const Case& c : cases) {
        auto name = DeviceKeyName(c.code);
        if (c.name) {
            EXPECT_EQ(name, std::u16string(c.name)) << c.code;
        } else {
            EXPECT_FALSE(name) << c.code;
        }
    }
    UsKeyboardLayout us;
    struct Captured {
        int vk;
        const char16_t* name;
        int stored;
    } captured[] = {{16, u"Shift", 160}, {17, u"Ctrl", 162}, {165, u"RAlt", 165}, {91, u"Windows", 91},
                    {'A', u"A", 'A'},    {37, u"Left", 37},  {112, u"F1", 112}};
    for (const Captured& c : captured) {
        CapturedKey key = CapturedKeyName(c.vk, us);
        EXPECT_EQ(key.name, c.name) << c.vk;
        EXPECT_EQ(key.virtualKey, c.stored) << c.vk;
    }
}

TEST(KeyCodes, KeysymsBecomeVirtualKeys) {
    struct Case {
        unsigned long keysym;
        int vk;
    } cases[] = {{XK_a, 'A'},        {XK_Z, 'Z'},        {XK_5, '5'},          {XK_F11, 122},
                 {XK_KP_Enter, 13},  {XK_Shift_R, 161},  {XK_ISO_Level3_Shift, 165},
                 {XF86XK_AudioRaiseVolume, 175}, {XF86XK_Back, 166}, {XK_eacute, 0}};
    for (const Case& c : cases) EXPECT_EQ(KeysymToVirtualKey(c.keysym), c.vk) << c.keysym;
}

} // namespace
} // namespace vantrel
