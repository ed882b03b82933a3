#include "app/lighting/pulse_capture.h"

#include <pulse/pulseaudio.h>

#include <cstring>

namespace vantrel {
namespace {

constexpr uint32_t kRate = 48000;
// At most one second is kept when nobody reads: old sound is worthless to the music mode.
constexpr size_t kMaxBuffered = kRate * 2 * sizeof(float);

} // namespace

PulseCapture::PulseCapture(Format format, const char* name) : format_(format) {
    mainloop_ = pa_threaded_mainloop_new();
    if (!mainloop_) return;
    context_ = pa_context_new(pa_threaded_mainloop_get_api(mainloop_), name);
    if (!context_) return;
    pa_context_set_state_callback(context_, &PulseCapture::OnContextState, this);
    pa_threaded_mainloop_lock(mainloop_);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) pa_threaded_mainloop_start(mainloop_);
    pa_threaded_mainloop_unlock(mainloop_);
}

PulseCapture::~PulseCapture() {
    if (!mainloop_) return;
    pa_threaded_mainloop_stop(mainloop_);
    if (stream_) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
    }
    if (context_) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
    }
    pa_threaded_mainloop_free(mainloop_);
}

void PulseCapture::OnContextState(pa_context* c, void* self) {
    if (pa_context_get_state(c) != PA_CONTEXT_READY) return;
    pa_context_set_subscribe_callback(
        c, [](pa_context* ctx, pa_subscription_event_type_t t, uint32_t i, void* me) { OnSubscription(ctx, t, i, me); },
        self);
    pa_operation_unref(pa_context_subscribe(c, PA_SUBSCRIPTION_MASK_SERVER, nullptr, nullptr));
    pa_operation_unref(pa_context_get_server_info(c, &PulseCapture::OnServerInfo, self));
}

void PulseCapture::OnSubscription(pa_context* c, int type, uint32_t, void* self) {
    if ((type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK) == PA_SUBSCRIPTION_EVENT_SERVER)
        pa_operation_unref(pa_context_get_server_info(c, &PulseCapture::OnServerInfo, self));
}

void PulseCapture::OnServerInfo(pa_context*, const pa_server_info* info, void* self) {
    auto* me = static_cast<PulseCapture*>(self);
    const std::string sink = info && info->default_sink_name ? info->default_sink_name : "";
    {
        std::lock_guard lock(me->mutex_);
        if (sink == me->sink_ && me->stream_) return; // the default did not change
    }
    me->Open(sink);
}

void PulseCapture::Open(const std::string& sink) {
    if (stream_) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    {
        std::lock_guard lock(mutex_);
        sink_ = sink;
        buffer_.clear();
    }
    if (sink.empty()) return; // no playback device: nothing to capture
    pa_sample_spec spec{format_ == Format::kFloat32Stereo ? PA_SAMPLE_FLOAT32LE : PA_SAMPLE_S16LE, kRate, 2};
    stream_ = pa_stream_new(context_, "playback monitor", &spec, nullptr);
    if (!stream_) return;
    pa_stream_set_read_callback(stream_, &PulseCapture::OnRead, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(10000, &spec)); // about 10 ms a packet
    const std::string monitor = sink + ".monitor";
    if (pa_stream_connect_record(stream_, monitor.c_str(), &attr, PA_STREAM_ADJUST_LATENCY) < 0) {
        pa_stream_unref(stream_);
        stream_ = nullptr;
        return;
    }
    ++reopens_;
}

void PulseCapture::OnRead(pa_stream* s, size_t, void* self) {
    auto* me = static_cast<PulseCapture*>(self);
    const void* data = nullptr;
    size_t length = 0;
    while (pa_stream_readable_size(s) != static_cast<size_t>(-1) && pa_stream_readable_size(s) > 0 &&
           pa_stream_peek(s, &data, &length) == 0 && length > 0) {
        {
            std::lock_guard lock(me->mutex_);
            if (data) {
                const auto* bytes = static_cast<const uint8_t*>(data);
                me->buffer_.insert(me->buffer_.end(), bytes, bytes + length);
            } else {
                me->buffer_.insert(me->buffer_.end(), length, 0); // a hole: silence
            }
            if (me->buffer_.size() > kMaxBuffered)
                me->buffer_.erase(me->buffer_.begin(), me->buffer_.end() - static_cast<long>(kMaxBuffered));
        }
        pa_stream_drop(s);
    }
}

void PulseCapture::Drain() {
    // What the server holds is pulled here as well as pushed by the read callback, so a reader
    // never depends on the callback having run.
    if (!mainloop_) return;
    pa_threaded_mainloop_lock(mainloop_);
    if (stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY) OnRead(stream_, 0, this);
    pa_threaded_mainloop_unlock(mainloop_);
}

template <typename Sample>
bool PulseCapture::Take(Format format, std::vector<Sample>* out) {
    Drain();
    std::lock_guard lock(mutex_);
    if (sink_.empty() || format_ != format) return false;
    const size_t count = buffer_.size() / sizeof(Sample);
    if (count == 0) return true;
    const size_t old = out->size();
    out->resize(old + count);
    std::memcpy(out->data() + old, buffer_.data(), count * sizeof(Sample));
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(count * sizeof(Sample)));
    return true;
}

bool PulseCapture::ReadFloat(std::vector<float>* stereo) {
    return Take(Format::kFloat32Stereo, stereo);
}

bool PulseCapture::ReadS16(std::vector<int16_t>* samples) {
    return Take(Format::kS16Stereo, samples);
}

std::string PulseCapture::Sink() const {
    std::lock_guard lock(mutex_);
    return sink_;
}

} // namespace vantrel
