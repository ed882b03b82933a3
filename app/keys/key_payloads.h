// The reports that program a keyboard's key assignments: family-B simple and complex slots,
// the family-A key table, and reconciling the store with a family-B keyboard's slots.
// Run on the device worker.
#pragma once

#include "app/device/family.h"
#include "app/device/hid_device_list.h"
#include "app/device/protocol.h"
#include "app/keys/key_write_context.h"

#include <array>
#include <atomic>
#include <map>

namespace vantrel {

using ComplexRecord = std::array<uint8_t, 168>;
using KeyTable = std::array<uint8_t, 220>;
inline constexpr int kComplexSlots = 13;
inline constexpr int kSimpleSlots = 10;
inline constexpr size_t kKeyTableEntries = 110;

// Attribute byte of a family-B event pair.
uint8_t EncodeEventAttribute(bool release, int delayMs);

ComplexRecord BuildComplexRecord(const KeyWriteContext& ctx, int keyCode, int slot, int kind, int value);
void WriteSimpleSlot(const KeyWriteContext& ctx, int keyCode, int slot);
void WriteComplexSlot(const KeyWriteContext& ctx, int keyCode, int slot, int kind, int value);

// Family B: one key (`singleKey`, the selected key's slot only) or a full rewrite.
void WriteKeysFamilyB(const KeyWriteContext& ctx, bool singleKey, int selectedKey);

// Family A: the key table from the profile's functions and the macro slots of the download.
KeyTable BuildKeyTable(const std::vector<KeyFunctionRecord>& rows, const std::map<int, int>& keyPosition,
                       const std::map<int, int>& macroSlots);
// Family A: the macro download, then the key table in four 0x8D frames.
void WriteKeysFamilyA(const KeyWriteContext& ctx);

// What the key page asks of the next key write: the selected key's slot only, or everything.
struct KeyWriteRequest {
    std::atomic<bool> singleKey{false};
    std::atomic<int> selectedKey{0};
};

// The key write task: the family's body; the single-key request is cleared afterwards.
void WriteKeys(KeyboardFamily family, const KeyWriteContext& ctx, KeyWriteRequest& request);

// Deletes the stored functions of keys that no slot holds (all of them when every slot is free).
void ReconcileKeyFunctions(Store& store, int profile, const SlotTable& slots);

} // namespace vantrel
