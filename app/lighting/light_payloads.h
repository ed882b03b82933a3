// The light reports: the family-A mode and parameter frames, the family-B cable feature and
// wireless payload, the family-A per-key slot select, and the per-key colour table.
#pragma once

#include "app/device/family.h"
#include "app/device/hid_device_list.h"
#include "app/store/store.h"

#include <array>
#include <atomic>
#include <map>

namespace vantrel {

inline constexpr unsigned kPerKeyColours = 0x100;
inline constexpr unsigned kMusicMode = 0x200;
inline constexpr unsigned kScreenMode = 0x400;
inline constexpr unsigned kAreaColours = 0x800;
inline constexpr int kFreeColourMode = 4;
inline constexpr int kAreaColourMode = 9;

constexpr uint8_t Red(int colour) { return static_cast<uint8_t>(colour & 0xFF); }
constexpr uint8_t Green(int colour) { return static_cast<uint8_t>((colour >> 8) & 0xFF); }
constexpr uint8_t Blue(int colour) { return static_cast<uint8_t>((colour >> 16) & 0xFF); }

using OutputReport = std::array<uint8_t, HidDeviceList::kOutputLength>;
using FeatureReport = std::array<uint8_t, HidDeviceList::kFeatureLength>;

// Family A: 0x88 with the mode until the mode has been sent, then 0x89 with the parameters.
OutputReport FamilyALightReport(const LightRecord& r, bool modeSent);
FeatureReport CableLightReport(const LightRecord& r, int perKeySlot);
std::array<uint8_t, 64> WirelessLightPayload(const LightRecord& r, int perKeySlot);
// Family A, from the UI thread: selects a per-key colour slot.
FeatureReport SlotSelectReport(const LightRecord& r, int slot);

// The ApplyLight job. `modeSent` is the family-A flag; it is set after every family-A send.
void SendLight(HidDeviceList& link, KeyboardFamily family, int connectionKind, const LightRecord& r,
               int perKeySlot, std::atomic<bool>& modeSent);

// The colour frame: red, green, blue, 0xFF per light position; later rows win.
std::array<uint8_t, 600> BuildColourFrame(const std::vector<KeyLightRecord>& rows,
                                          const std::map<int, int>& lightPosition);
// The WriteKeyColours job: the stored per-key colours in eight 0x8B chunks.
void WriteKeyColours(Store& store, HidDeviceList& link, const std::map<int, int>& lightPosition);

} // namespace vantrel
