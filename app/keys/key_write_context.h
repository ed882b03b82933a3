// What a key or macro write needs: the store and active profile, the link, the layout's key
// positions and the keyboard layout under which macro keys become usages.
#pragma once

#include "app/device/hid_device_list.h"
#include "app/keys/key_codes.h"
#include "app/store/store.h"

#include <map>

namespace vantrel {

struct KeyWriteContext {
    Store& store;
    HidDeviceList& link;
    int profile;
    const std::map<int, int>& keyPosition;
    const KeyboardLayout& layout;
};

} // namespace vantrel
