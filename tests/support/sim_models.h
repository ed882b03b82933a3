// The two shipped models as simulated keyboards and as supported-interface rows.
#pragma once

#include "app/device/hid_device_list.h"
#include "app/device/sim_backend.h"

namespace vantrel::testing {

inline constexpr int kFamilyAType = 100;
inline constexpr int kFamilyBType = 201;

inline SimKeyboardSpec FamilyASpec() {
    SimKeyboardSpec s;
    s.family = KeyboardFamily::kA;
    s.productIds[0] = 0x0001;
    return s;
}

inline SimKeyboardSpec FamilyBSpec() {
    SimKeyboardSpec s;
    s.family = KeyboardFamily::kB;
    s.productIds[0] = 0x0002;
    s.productIds[1] = 0x0003;
    s.productIds[2] = 0x0004;
    return s;
}

inline void AddShippedInterfaces(HidDeviceList& link) {
    link.AddSupportedInterface({0x1209, 0x0001, u"", kFamilyAType, 0, u"0003:1209:0001"});
    link.AddSupportedInterface({0x1209, 0x0002, u"", kFamilyBType, 0, u"0003:1209:0002"});
    link.AddSupportedInterface({0x1209, 0x0003, u"", kFamilyBType, 1, u"0003:1209:0003"});
    link.AddSupportedInterface({0x1209, 0x0004, u"", kFamilyBType, 2, u"0005:1209:0004"});
}

// A scan as the connection code runs it, selecting `model` afterwards.
inline void Scan(HidDeviceList& link, int model) {
    link.CloseAllInterfaces();
    link.ScanInterfaces();
    link.SetOpened(true);
    link.SetSelectedModel(model);
    link.ForgetSelectedInterface();
}

} // namespace vantrel::testing
