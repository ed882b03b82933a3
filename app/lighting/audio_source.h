// Where the music mode's sound comes from: the signal going to the default playback device.
#pragma once

#include <cstdint>
#include <vector>

namespace vantrel {

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Appends what was captured since the last call as interleaved stereo float frames; false
    // when there is no capture (no playback device).
    virtual bool ReadFloat(std::vector<float>* stereo) = 0;
    // Appends captured 16-bit samples (all channels interleaved); false when there is no capture.
    virtual bool ReadS16(std::vector<int16_t>* samples) = 0;
};

} // namespace vantrel
