// The two report protocols, chosen by a model's device type.
#pragma once

namespace vantrel {

enum class KeyboardFamily { kNone, kA, kB };

// Family A: device types up to and including 200; family B: 201 to 299; none from 300 on.
constexpr KeyboardFamily FamilyForDeviceType(int deviceType) {
    if (deviceType <= 200) return KeyboardFamily::kA;
    if (deviceType <= 299) return KeyboardFamily::kB;
    return KeyboardFamily::kNone;
}

} // namespace vantrel
