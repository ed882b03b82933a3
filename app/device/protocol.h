// Device-level commands of the two report protocols: reading back a family-B keyboard's
// assignment slots and firmware version, and the factory reset of both families.
#pragma once

#include "app/device/family.h"
#include "app/device/hid_device_list.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace vantrel {

inline constexpr std::chrono::milliseconds kFeaturePause{16};

// The 28-byte slot table: byte 0 echo, 1-13 keys of the complex slots, 14-23 of the simple slots.
using SlotTable = std::array<uint8_t, 28>;

// Family B. Fails only when no interface is open; a keyboard that does not answer leaves the
// request bytes in the table. `complete` tells whether all four reads answered with report id 7.
bool ReadAssignmentSlots(HidDeviceList& link, SlotTable* table, bool* complete = nullptr);

// Family B. The version as the keyboard reports it (0x0105 for "105"); false when the request
// could not be sent.
bool ReadFirmwareVersion(HidDeviceList& link, uint16_t* version);

// The firmware version as it is shown and compared: its hex digits read as a decimal number.
int FirmwareVersionNumber(uint16_t version);

// The reset command of the family; for family B the connection kind chooses feature (cable) or
// wireless payloads. Includes the pauses that follow it.
void SendFactoryReset(HidDeviceList& link, KeyboardFamily family, int connectionKind);

} // namespace vantrel
