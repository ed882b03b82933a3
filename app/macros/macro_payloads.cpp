#include "app/macros/macro_payloads.h"

#include "app/keys/key_function.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace vantrel {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kBeforeMacro{10};
constexpr milliseconds kBeforeMacroFrame{100};
constexpr size_t kFrameData = 59;

} // namespace

std::vector<uint8_t> BuildMacroStream(const KeyWriteContext& ctx, int macroId, size_t* length) {
    std::vector<uint8_t> stream(kMacroStreamSize, 0);
    int playTimes = 1;
    if (!ctx.store.GetPlayTimes(macroId, &playTimes) || playTimes < 1) playTimes = 1;
    stream[0] = static_cast<uint8_t>(std::min(playTimes, 255));
    std::vector<MacroEventRecord> events;
    ctx.store.ListMacroEvents(macroId, &events);
    stream[1] = static_cast<uint8_t>(events.size());
    size_t at = 2;
    for (const MacroEventRecord& e : events) {
        if (e.type != 2 && e.type != 3) continue;
        if (at + 3 > stream.size()) break; // the stream buffer's end
        const uint8_t lo = static_cast<uint8_t>(e.delay_time & 0xFF);
        const uint8_t hi = static_cast<uint8_t>((e.delay_time >> 8) & 0xFF);
        stream[at++] = static_cast<uint8_t>(MacroKeyToUsage(e.value, ctx.layout));
        stream[at++] = e.type == 2 ? lo : static_cast<uint8_t>(lo | 0x80);
        stream[at++] = e.type == 2 ? static_cast<uint8_t>(hi | 0x80) : static_cast<uint8_t>(hi & 0x7F);
    }
    // The length counts every stored event, as the keyboard expects, within the buffer.
    *length = std::min(3 * events.size() + 3, stream.size());
    return stream;
}

std::map<int, int> DownloadMacros(const KeyWriteContext& ctx) {
    std::map<int, int> slots;
    int slot = 0;
    std::vector<KeyFunctionRecord> rows;
    ctx.store.ListKeyFunctions(ctx.profile, 0, &rows);
    for (const KeyFunctionRecord& row : rows) {
        if (row.macro_type != kMacro) continue;
        size_t length = 0;
        const std::vector<uint8_t> stream = BuildMacroStream(ctx, row.macro_value, &length);
        std::this_thread::sleep_for(kBeforeMacro);
        const size_t frames = (length + kFrameData - 1) / kFrameData;
        for (size_t k = 0; k < frames; ++k) {
            const size_t offset = kFrameData * k;
            const size_t count = k + 1 == frames ? length - offset : kFrameData;
            uint8_t frame[HidDeviceList::kOutputLength] = {0x00, 0x8E, static_cast<uint8_t>(count),
                                                            static_cast<uint8_t>(offset & 0xFF),
                                                            static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(slot)};
            std::memcpy(frame + 6, stream.data() + offset, std::min(kFrameData, stream.size() - offset));
            std::this_thread::sleep_for(kBeforeMacroFrame);
            if (!ctx.link.WriteOutput65(frame)) return slots; // the whole download stops
        }
        slots[row.key_code] = slot++;
    }
    for (const KeyFunctionRecord& row : rows) {
        if (row.macro_type != kShortcut) continue;
        std::vector<ShortcutEvent> events(4, ShortcutEvent{0, false});
        if (const SystemShortcut* s = FindShortcut(row.macro_value)) events = s->events;
        uint8_t frame[HidDeviceList::kOutputLength] = {0x00, 0x8E, static_cast<uint8_t>(3 * events.size()), 0, 0,
                                                        static_cast<uint8_t>(slot), 1,
                                                        static_cast<uint8_t>(events.size())};
        size_t at = 8;
        for (const ShortcutEvent& e : events) {
            frame[at++] = e.usage;
            frame[at++] = 0x64;
            frame[at++] = e.release ? 0x00 : 0x80;
        }
        std::this_thread::sleep_for(kBeforeMacro);
        ctx.link.WriteOutput65(frame);
        slots[row.key_code] = slot++;
    }
    return slots;
}

} // namespace vantrel
