// The playback signal from PulseAudio (PipeWire serves it too): a record stream on the monitor
// of the default sink, reopened when the server's default sink changes.
#pragma once

#include "app/lighting/audio_source.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_server_info;

namespace vantrel {

class PulseCapture final : public AudioSource {
public:
    enum class Format { kFloat32Stereo, kS16Stereo };

    explicit PulseCapture(Format format, const char* name = "Vantrel music mode");
    ~PulseCapture() override;
    PulseCapture(const PulseCapture&) = delete;
    PulseCapture& operator=(const PulseCapture&) = delete;

    bool ReadFloat(std::vector<float>* stereo) override;
    bool ReadS16(std::vector<int16_t>* samples) override;

    // The sink whose monitor is recorded; empty while there is none.
    std::string Sink() const;
    // Times the capture was (re)opened on a new default sink.
    int Reopens() const { return reopens_; }

private:
    static void OnContextState(pa_context* c, void* self);
    static void OnServerInfo(pa_context* c, const pa_server_info* info, void* self);
    static void OnSubscription(pa_context* c, int type, uint32_t index, void* self);
    static void OnRead(pa_stream* s, size_t bytes, void* self);
    void Open(const std::string& sink); // mainloop thread
    void Drain();
    // Moves the whole samples captured so far into `out`; false without a capture of `format`.
    template <typename Sample>
    bool Take(Format format, std::vector<Sample>* out);

    Format format_;
    pa_threaded_mainloop* mainloop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
    mutable std::mutex mutex_; // the buffer and the sink name
    std::vector<uint8_t> buffer_;
    std::string sink_;
    std::atomic<int> reopens_{0};
};

} // namespace vantrel
