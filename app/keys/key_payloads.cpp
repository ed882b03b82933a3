#include "app/keys/key_payloads.h"

#include "app/keys/key_function.h"
#include "app/macros/macro_payloads.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <thread>

namespace vantrel {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kSingleKeyPause{100};
constexpr milliseconds kKeyTableFramePause{10};
constexpr milliseconds kBeforeKeyTable{20};
constexpr int kMacroPressEvent = 2;
constexpr int kMacroReleaseEvent = 3;

void SendFeature(HidDeviceList& link, const uint8_t* report) {
    std::this_thread::sleep_for(kFeaturePause);
    link.SendFeature8(report);
}

int ComplexSlotHolding(const SlotTable& slots, int key) {
    for (int s = 1; s <= kComplexSlots; ++s)
        if (slots[static_cast<size_t>(s)] != 0 && slots[static_cast<size_t>(s)] == (key & 0xFF)) return s;
    return 0;
}

int SimpleSlotHolding(const SlotTable& slots, int key) {
    for (int s = 1; s <= kSimpleSlots; ++s)
        if (slots[static_cast<size_t>(13 + s)] != 0 && slots[static_cast<size_t>(13 + s)] == (key & 0xFF)) return s;
    return 0;
}

} // namespace

uint8_t EncodeEventAttribute(bool release, int delay) {
    delay = std::min(delay, 31000);
    int unit = 0, count = 0;
    if (delay < 0) count = 0;
    else if (delay <= 10) count = 1;
    else if (delay <= 310) count = delay / 10;
    else if (delay <= 1550) unit = 1, count = delay / 50;
    else if (delay <= 3100) unit = 2, count = delay / 100; // 100 ms steps
    else unit = 3, count = delay / 1000;
    uint8_t byte = static_cast<uint8_t>((release ? 0x80 : 0) | unit << 5 | (count & 0x1F));
    return byte == 0 ? 1 : byte;
}

ComplexRecord BuildComplexRecord(const KeyWriteContext& ctx, int keyCode, int slot, int kind, int value) {
    ComplexRecord r{};
    r[0] = 1;
    r[1] = static_cast<uint8_t>(slot);
    size_t at = 4;
    auto add = [&](uint8_t usage, uint8_t attribute) {
        if (at + 1 >= r.size()) return; // beyond 82 pairs: dropped
        r[at++] = usage;
        r[at++] = attribute;
    };
    if (kind == kShortcut) {
        r[2] = static_cast<uint8_t>(keyCode);
        r[3] = 1;
        if (const SystemShortcut* s = FindShortcut(value))
            for (const ShortcutEvent& e : s->events) add(e.usage, e.release ? 0x81 : 0x01);
    } else if (kind == kMacro) {
        MacroRecord macro;
        if (ctx.store.GetMacro(value, &macro)) {
            r[2] = static_cast<uint8_t>(keyCode);
            r[3] = static_cast<uint8_t>(macro.play_times);
            std::vector<MacroEventRecord> events;
            ctx.store.ListMacroEvents(value, &events);
            for (const MacroEventRecord& e : events)
                if (e.type == kMacroPressEvent || e.type == kMacroReleaseEvent)
                    add(static_cast<uint8_t>(MacroKeyToUsage(e.value, ctx.layout)),
                        EncodeEventAttribute(e.type == kMacroReleaseEvent, e.delay_time));
        }
    }
    return r;
}

void WriteSimpleSlot(const KeyWriteContext& ctx, int keyCode, int slot) {
    uint8_t report[8] = {0x07, 0xFA, 0x01, static_cast<uint8_t>(slot), 0x00, 0x01, 0x00, 0x01};
    KeyFunctionRecord row;
    if (ctx.store.GetKeyFunction(ctx.profile, 0, keyCode, &row) && row.macro_value > 0) {
        if (row.macro_type == kOwnFunction || IsComplexKind(row.macro_type)) return;
        report[4] = static_cast<uint8_t>(keyCode);
        report[6] = static_cast<uint8_t>(row.macro_value);
    }
    if (ctx.link.HasSelectedInterface()) SendFeature(ctx.link, report);
}

void WriteComplexSlot(const KeyWriteContext& ctx, int keyCode, int slot, int kind, int value) {
    const ComplexRecord record = BuildComplexRecord(ctx, keyCode, slot, kind, value);
    for (size_t n = 0; n < 28 && ctx.link.HasSelectedInterface(); ++n) {
        uint8_t report[8] = {0x07, static_cast<uint8_t>(n == 0 ? 0xF1 : 0x00)};
        std::memcpy(report + 2, record.data() + 6 * n, 6);
        SendFeature(ctx.link, report);
    }
}

void WriteKeysFamilyB(const KeyWriteContext& ctx, bool singleKey, int selectedKey) {
    SlotTable slots{};
    ReadAssignmentSlots(ctx.link, &slots);
    if (singleKey) {
        std::this_thread::sleep_for(kSingleKeyPause);
        KeyFunctionRecord row;
        if (!ctx.store.GetKeyFunction(ctx.profile, 0, selectedKey, &row)) row = KeyFunctionRecord{};
        if (IsComplexKind(row.macro_type)) {
            int slot = ComplexSlotHolding(slots, selectedKey);
            if (slot == 0)
                for (int s = 1; s <= kComplexSlots && slot == 0; ++s)
                    if (slots[static_cast<size_t>(s)] == 0) slot = s;
            WriteComplexSlot(ctx, selectedKey, slot == 0 ? 1 : slot, row.macro_type, row.macro_value);
        } else if (row.macro_type == kOwnFunction) {
            if (int slot = ComplexSlotHolding(slots, selectedKey)) WriteComplexSlot(ctx, selectedKey, slot, 0, row.macro_value);
            if (int slot = SimpleSlotHolding(slots, selectedKey)) WriteSimpleSlot(ctx, selectedKey, slot);
        } else {
            int slot = SimpleSlotHolding(slots, selectedKey);
            if (slot == 0)
                for (int s = 1; s <= kSimpleSlots && slot == 0; ++s)
                    if (slots[static_cast<size_t>(13 + s)] == 0) slot = s;
            WriteSimpleSlot(ctx, selectedKey, slot == 0 ? 1 : slot);
        }
        return;
    }
    for (int s = 1; s <= 12; ++s)
        if (slots[static_cast<size_t>(s)] != 0) {
            std::this_thread::sleep_for(kFeaturePause);
            WriteComplexSlot(ctx, slots[static_cast<size_t>(s)], s, 0, 0);
        }
    for (int s = 1; s <= kSimpleSlots; ++s)
        if (slots[static_cast<size_t>(13 + s)] != 0) {
            std::this_thread::sleep_for(kFeaturePause);
            WriteSimpleSlot(ctx, 0, s);
        }
    std::vector<KeyFunctionRecord> rows;
    ctx.store.ListKeyFunctions(ctx.profile, 0, &rows);
    int complexSlot = 1, simpleSlot = 1;
    for (const KeyFunctionRecord& row : rows) {
        if (row.macro_type == kOwnFunction) continue;
        std::this_thread::sleep_for(kFeaturePause);
        if (IsComplexKind(row.macro_type))
            WriteComplexSlot(ctx, row.key_code, complexSlot++, row.macro_type, row.macro_value);
        else
            WriteSimpleSlot(ctx, row.key_code, simpleSlot++);
    }
}

KeyTable BuildKeyTable(const std::vector<KeyFunctionRecord>& rows, const std::map<int, int>& keyPosition,
                       const std::map<int, int>& macroSlots) {
    KeyTable table{};
    for (const KeyFunctionRecord& row : rows) {
        auto position = keyPosition.find(row.key_code);
        if (position == keyPosition.end() || position->second < 0 ||
            static_cast<size_t>(position->second) >= kKeyTableEntries)
            continue;
        uint8_t* entry = &table[2 * static_cast<size_t>(position->second)];
        if (row.macro_type == kDisabled) {
            entry[0] = 0x00;
            entry[1] = 0x20;
        } else if (row.macro_type == kListCode) {
            entry[0] = static_cast<uint8_t>(row.macro_value);
            entry[1] = 0x20;
        } else if (IsComplexKind(row.macro_type)) {
            auto slot = macroSlots.find(row.key_code);
            if (slot != macroSlots.end()) {
                entry[0] = static_cast<uint8_t>(slot->second);
                entry[1] = 0x40;
            }
        }
    }
    return table;
}

void WriteKeysFamilyA(const KeyWriteContext& ctx) {
    const std::map<int, int> macroSlots = DownloadMacros(ctx);
    std::this_thread::sleep_for(kBeforeKeyTable);
    std::vector<KeyFunctionRecord> rows;
    ctx.store.ListKeyFunctions(ctx.profile, 0, &rows);
    const KeyTable table = BuildKeyTable(rows, ctx.keyPosition, macroSlots);
    for (size_t j = 0; j < 4; ++j) {
        const size_t length = j == 3 ? 40 : 60;
        uint8_t frame[HidDeviceList::kOutputLength] = {0x00, 0x8D, static_cast<uint8_t>(length),
                                                        static_cast<uint8_t>((60 * j) & 0xFF),
                                                        static_cast<uint8_t>((60 * j) >> 8)};
        std::memcpy(frame + 5, table.data() + 60 * j, length);
        std::this_thread::sleep_for(kKeyTableFramePause);
        ctx.link.WriteOutput65(frame); // all four go out even when one fails
    }
}

void WriteKeys(KeyboardFamily family, const KeyWriteContext& ctx, KeyWriteRequest& request) {
    if (family == KeyboardFamily::kA) WriteKeysFamilyA(ctx);
    else if (family == KeyboardFamily::kB) WriteKeysFamilyB(ctx, request.singleKey, request.selectedKey);
    request.singleKey = false;
}

void ReconcileKeyFunctions(Store& store, int profile, const SlotTable& slots) {
    std::set<int> held;
    for (int s = 1; s <= kComplexSlots + kSimpleSlots; ++s)
        if (slots[static_cast<size_t>(s)] != 0) held.insert(slots[static_cast<size_t>(s)]);
    if (held.empty()) {
        store.DeleteProfileKeyFunctions(profile);
        return;
    }
    std::vector<KeyFunctionRecord> rows;
    store.ListKeyFunctions(profile, 0, &rows);
    for (const KeyFunctionRecord& row : rows) {
        if (held.count(row.key_code & 0xFF)) continue;
        KeyFunctionRecord cleared;
        cleared.profile = profile;
        cleared.key_code = row.key_code;
        store.SaveKeyFunction(cleared);
    }
}

} // namespace vantrel
