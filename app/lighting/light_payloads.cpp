#include "app/lighting/light_payloads.h"

#include "app/device/protocol.h"

#include <cstring>
#include <thread>

namespace vantrel {
namespace {

constexpr std::chrono::milliseconds kColourChunkPause{1};
constexpr size_t kLightPositions = 110;

uint8_t MinusOne(int value) {
    return static_cast<uint8_t>(value == 0 ? 0 : value - 1);
}

// The parameter bytes shared by the cable and wireless reports, at `p` (mode − 1 first).
void FamilyBParameters(const LightRecord& r, int perKeySlot, uint8_t* p) {
    p[0] = MinusOne(r.mode);
    p[1] = static_cast<uint8_t>(r.colorindex);
    p[2] = static_cast<uint8_t>(r.direction);
    p[3] = r.mode == kAreaColourMode ? static_cast<uint8_t>(r.speed) : MinusOne(r.speed);
    p[4] = MinusOne(r.brightness);
    p[5] = (r.config_func & kPerKeyColours) ? static_cast<uint8_t>(perKeySlot) : 0;
    if (r.mode == kFreeColourMode) {
        p[2] = Red(r.color_value);
        p[3] = Green(r.color_value);
        p[5] = Blue(r.color_value);
    }
}

} // namespace

OutputReport FamilyALightReport(const LightRecord& r, bool modeSent) {
    OutputReport report{};
    if (!modeSent) {
        report[1] = 0x88;
        report[3] = static_cast<uint8_t>(r.mode);
    } else {
        report[1] = 0x89;
        report[3] = static_cast<uint8_t>(((r.direction & 3) << 4) | (r.colorful ? 0x40 : 0) | (r.speed & 0x0F));
        report[4] = Red(r.color_value);
        report[5] = Green(r.color_value);
        report[6] = Blue(r.color_value);
        report[7] = static_cast<uint8_t>(r.brightness);
    }
    return report;
}

FeatureReport CableLightReport(const LightRecord& r, int perKeySlot) {
    FeatureReport report{0x07, 0xF7};
    FamilyBParameters(r, perKeySlot, report.data() + 2);
    return report;
}

std::array<uint8_t, 64> WirelessLightPayload(const LightRecord& r, int perKeySlot) {
    std::array<uint8_t, 64> payload{0xBB, 0xAA, 0x99, 0x88, 0xAA};
    FamilyBParameters(r, perKeySlot, payload.data() + 5);
    return payload;
}

FeatureReport SlotSelectReport(const LightRecord& r, int slot) {
    return FeatureReport{0x07, 0xFF, 0xFF, MinusOne(r.mode), static_cast<uint8_t>(r.brightness),
                         static_cast<uint8_t>(r.speed), 0,
                         static_cast<uint8_t>((r.config_func & kPerKeyColours) ? slot : 0)};
}

void SendLight(HidDeviceList& link, KeyboardFamily family, int connectionKind, const LightRecord& r,
               int perKeySlot, std::atomic<bool>& modeSent) {
    if (family == KeyboardFamily::kA) {
        const OutputReport report = FamilyALightReport(r, modeSent);
        link.WriteOutput65(report.data());
        modeSent = true; // also after a failed write
    } else if (family == KeyboardFamily::kB && connectionKind == 0) {
        const FeatureReport report = CableLightReport(r, perKeySlot);
        std::this_thread::sleep_for(kFeaturePause);
        link.SendFeature8(report.data());
    } else if (family == KeyboardFamily::kB) {
        link.WriteOutput64(WirelessLightPayload(r, perKeySlot).data());
    }
}

std::array<uint8_t, 600> BuildColourFrame(const std::vector<KeyLightRecord>& rows,
                                          const std::map<int, int>& lightPosition) {
    std::array<uint8_t, 600> frame{};
    for (const KeyLightRecord& row : rows) {
        auto p = lightPosition.find(row.key_code);
        if (p == lightPosition.end() || p->second < 0 || static_cast<size_t>(p->second) >= kLightPositions) continue;
        uint8_t* at = &frame[4 * static_cast<size_t>(p->second)];
        at[0] = Red(row.key_rgb);
        at[1] = Green(row.key_rgb);
        at[2] = Blue(row.key_rgb);
        at[3] = 0xFF;
    }
    return frame;
}

void WriteKeyColours(Store& store, HidDeviceList& link, const std::map<int, int>& lightPosition) {
    std::vector<KeyLightRecord> rows;
    store.ListKeyLights(kKeyColourLightId, &rows);
    const std::array<uint8_t, 600> frame = BuildColourFrame(rows, lightPosition);
    for (size_t i = 0; i < 8; ++i) {
        OutputReport report{0x00, 0x8B, static_cast<uint8_t>(i == 7 ? 20 : 60), static_cast<uint8_t>((60 * i) & 0xFF),
                            static_cast<uint8_t>((60 * i) >> 8)};
        std::memcpy(report.data() + 5, frame.data() + 60 * i, 60); // the last chunk carries 60 bytes too
        std::this_thread::sleep_for(kColourChunkPause);
        if (!link.WriteOutput65(report.data())) return;
    }
}

} // namespace vantrel
