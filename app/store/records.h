// One record per table row of the profile database. Text is wide in memory, UTF-8 in the file.
#pragma once

#include <string>

namespace vantrel {

struct ProfileRecord {
    int profile = 0;
    std::u16string name;
    int status = 0; // 1 for the active profile
    std::u16string app;
    int type = 0;
};

// The function assigned to one key on one Fn layer of one profile.
struct KeyFunctionRecord {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0;
    int layout_value = 0;
    std::u16string layout_desc;
    int macro_type = 0;
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::u16string macro_desc;
};

struct OtherDataRecord {
    int macro_value = 0;
    std::u16string macro_desc;
    std::u16string param;
    int type = 0;
};

struct MacroRecord {
    int macro_id = 0;
    std::u16string name;
    int link_count = 0;
    int play_times = 1;
    int delay_type = 1;
    int delay_time = 0;
};

struct MacroEventRecord {
    int record_id = 0;
    int macro_id = 0;
    int type = 0;
    int record_index = 0;
    int value = 0;
    int delay_time = 0;
    std::u16string desc;
};

struct LightRecord {
    int light_id = 0;
    int profile = 0;
    std::u16string name;
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0;
    int config_func = 0;
    int reserved = 0;
    int status = 0;
};

struct KeyLightRecord {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0;
    int key_code = 0;
    int key_rgb = 0;
};

struct MusicLayerRecord {
    int layer_id = 0;
    int profile = 0;
    std::u16string name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};

} // namespace vantrel
