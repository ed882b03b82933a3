// Key code spaces: the keyboard's device key codes (USB HID keyboard usages, 175 for Fn), Windows
// virtual-key codes (what stored macros and exchange files carry), PC scan codes, and on Linux the
// X11 keysyms and evdev key codes that recording and key capture see.
#pragma once

#include <optional>
#include <string>

namespace vantrel {

inline constexpr int kFnKeyCode = 175;

// Scan codes are set-1 codes; keys sent with the E0 prefix carry it as 0xE000 | code.
class KeyboardLayout {
public:
    virtual ~KeyboardLayout() = default;
    // The scan code of the key that produces the virtual key under this layout; 0 when none.
    virtual int ScanCode(int virtualKey) const = 0;
    // The layout's name of the key with this scan code; empty when it has none.
    virtual std::u16string KeyName(int scanCode) const = 0;
};

// The US layout, which places each virtual key on the key of the same name.
class UsKeyboardLayout final : public KeyboardLayout {
public:
    int ScanCode(int virtualKey) const override;
    std::u16string KeyName(int scanCode) const override;
};

// The fixed English name of a device key code; nothing for codes without one.
std::optional<std::u16string> DeviceKeyName(int deviceCode);

// Scan code to usage; 0 when the scan code is not a key of the usage table.
int ScanCodeToUsage(int scanCode);

// The usage byte that macro payloads carry for a virtual key: the usage of the physical key that
// produces it under the layout. 0 when there is none.
int MacroKeyToUsage(int virtualKey, const KeyboardLayout& layout);

struct CapturedKey {
    std::u16string name;
    int virtualKey; // generic Shift, Ctrl and Alt become the left-hand keys
};
CapturedKey CapturedKeyName(int virtualKey, const KeyboardLayout& layout);

// Linux input to virtual keys and usages; 0 when unknown.
int KeysymToVirtualKey(unsigned long keysym);
int EvdevToVirtualKey(int evdevCode);
int EvdevToUsage(int evdevCode);

} // namespace vantrel
