// What a key can be made to do: the function kinds, the values of the function list, the
// system shortcuts and their key sequences, and the per-profile limits.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

enum FunctionKind : int {
    kOwnFunction = 0,
    kDisabled = 1,
    kListCode = 2,      // a function list value below 500
    kMacro = 3,
    kFurtherList = 5,
    kSecondFurtherList = 6,
    kShortcut = 7,
    kLaunchProgram = 8,
    kOpenAddress = 9,
    kTypeText = 10,
    kSwitchProfile = 11,
    kListCodeHigh = 12, // a function list value of 500 or more
};

inline constexpr int kMaxListFunctions = 10;    // kinds 2 and 12 per profile and layer
inline constexpr int kMaxComplexFunctions = 12; // kinds 3 and 7
inline constexpr int kHighListValue = 500;
inline constexpr int kDisabledText = 202;
inline constexpr int kShortcutLabelBase = 700;

struct FunctionListItem {
    const char16_t* label; // key label, or the function's name for icon items
    const char16_t* icon;  // icon file for consumer functions, nullptr for keys
    const char* id;        // short name for the command line: "volume-up", "a", "f1"
    int value;
};

// The 18 consumer functions and 103 keys of the function list, in list order.
const std::vector<FunctionListItem>& FunctionList();
const FunctionListItem* FindFunctionItem(int value);

struct ShortcutEvent {
    uint8_t usage;
    bool release;
};

struct SystemShortcut {
    int value;           // 1 to 15
    const char* id;      // "ctrl+c"
    std::vector<ShortcutEvent> events;
};

const std::vector<SystemShortcut>& SystemShortcuts();
const SystemShortcut* FindShortcut(int value);

// Kinds counted against the two limits.
constexpr bool IsListKind(int kind) { return kind == kListCode || kind == kListCodeHigh; }
constexpr bool IsComplexKind(int kind) { return kind == kMacro || kind == kShortcut; }

} // namespace vantrel
