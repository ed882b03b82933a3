#include "app/lighting/lighting.h"

#include "app/core/text_encoding.h"
#include "app/device/protocol.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vantrel {

Lighting::Lighting(Store& store, const LanguageTexts& texts, DeviceTaskQueue& queue, LightView& view, LightState& state)
    : store_(store), texts_(texts), queue_(queue), view_(view), state_(state) {}

void Lighting::SetModel(const ModelSettings& model) {
    model_ = model;
}

void Lighting::EnsureDefaultLightRows() {
    const int profile = state_.profile;
    if (store_.CountLights(profile) > 0) return;
    for (const LightModeEntry& entry : model_.lightModes) {
        LightRecord r;
        r.profile = profile;
        r.name = entry.name;
        r.mode = entry.mode;
        r.config_func = static_cast<int>(entry.attribute);
        r.brightness = model_.defaultBrightness;
        r.speed = model_.defaultSpeed;
        r.direction = Family() == KeyboardFamily::kB ? 2 : 0;
        r.colorful = 1;
        r.color_value = kDefaultFreeColour;
        if (entry.mode == kAreaColourMode) r.speed = r.direction = r.colorindex = 0;
        store_.InsertLight(r);
    }
    store_.ActivateLight(profile, model_.defaultMode);
}

void Lighting::FillLightModeList() {
    std::vector<LightRecord> rows;
    store_.ListLights(state_.profile, &rows);
    std::vector<std::pair<std::u16string, int>> items;
    int active = 0;
    for (const LightRecord& r : rows) {
        items.emplace_back(texts_.GetLanguageText(DecimalToInt(r.name)), r.mode);
        if (r.status == 1) active = r.mode;
    }
    state_.selectedMode = active;
    view_.SetModeList(items, active);
    RefreshLightPage();
}

std::optional<LightRecord> Lighting::Selected() const {
    LightRecord r;
    if (!store_.GetLight(state_.profile, state_.selectedMode, &r)) return std::nullopt;
    return r;
}

void Lighting::RefreshLightPage() {
    auto r = Selected();
    if (!r) return;
    const unsigned previous = state_.capabilities;
    state_.capabilities = static_cast<unsigned>(r->config_func);
    store_.ActivateLight(state_.profile, r->mode);
    view_.SetPreviewMode(kPreviewLightMode);
    view_.ShowMode(*r, state_.capabilities, Family());
    if (state_.capabilities & kPerKeyColours) {
        view_.SetPreviewMode(kPreviewPerKeyMode);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        view_.SetPreviewColour(false, 0);
        view_.SetPerKeyControls(true);
        std::vector<KeyLightRecord> rows;
        store_.ListKeyLights(kKeyColourLightId, &rows);
        for (const KeyLightRecord& k : rows) view_.SetKeyColour(k.key_code, k.key_rgb);
        view_.SetPaintColour(r->color_value);
    } else if (previous & kPerKeyColours) {
        view_.SetPerKeyControls(false);
    }
}

void Lighting::QueueApplyLight(bool onlyWhenIdle, bool showWait) {
    // A job still waiting reads the row when it runs, so it sends the newest value too.
    if (onlyWhenIdle && !queue_.Empty()) return;
    queue_.Queue(kApplyLight);
    if (showWait) view_.ShowWaitDialog();
}

template <typename F>
bool Lighting::Change(F&& change) {
    auto r = Selected();
    if (!r) return false;
    change(*r);
    store_.UpdateLight(state_.profile, r->mode, *r);
    return true;
}

void Lighting::SelectMode(int mode) {
    state_.selectedMode = mode;
    RefreshLightPage();
    const unsigned caps = state_.capabilities;
    if ((caps & kPerKeyColours) || !(caps & (kMusicMode | kScreenMode))) {
        state_.modeSent = false;
        QueueApplyLight(false, true);
    }
    // Music and screen modes send nothing here: their own streams take over.
}

void Lighting::SetBrightness(int value) {
    if (Change([&](LightRecord& r) { r.brightness = value; })) QueueApplyLight(true, true);
}

void Lighting::SetSpeed(int value) {
    if (!Change([&](LightRecord& r) { r.speed = value; })) return;
    view_.SetPreviewSpeed(value);
    QueueApplyLight(true, true);
}

void Lighting::SetDirection(bool left) {
    const bool familyB = Family() == KeyboardFamily::kB;
    if (Change([&](LightRecord& r) { r.direction = familyB ? (left ? 1 : 2) : (left ? 0 : 1); }))
        QueueApplyLight(true, true);
}

void Lighting::SetPresetColour(int index) {
    if (Change([&](LightRecord& r) { r.colorindex = index; })) QueueApplyLight(true, true);
}

void Lighting::SetAreaColour(int area, int index) {
    const int nibble = index & 0x0F;
    const bool changed = Change([&](LightRecord& r) {
        auto low = [&](int& field) { field = (field & ~0x0F) | nibble; };
        auto high = [&](int& field) { field = (field & ~0xF0) | nibble << 4; };
        switch (area) {
        case 1: low(r.speed); break;
        case 2: low(r.direction); break;
        case 3: high(r.direction); break;
        case 4: low(r.colorindex); break;
        case 5: high(r.colorindex); break;
        case 6: high(r.speed); break;
        default: break;
        }
    });
    if (changed) QueueApplyLight(false, false);
}

void Lighting::SetFreeColour(int colour) {
    if (!Change([&](LightRecord& r) { r.color_value = colour; })) return;
    if (state_.capabilities & kPerKeyColours) {
        view_.SetPaintColour(colour); // the painting colour; nothing is sent
        return;
    }
    view_.SetPreviewColour(false, colour);
    QueueApplyLight(false, false);
}

void Lighting::SetColourful(bool checked, bool keepColour) {
    if (!checked && !keepColour) SetFreeColour(kDefaultFreeColour);
    auto r = Selected();
    if (!r) return;
    r->colorful = checked ? 1 : 0;
    store_.UpdateLight(state_.profile, r->mode, *r);
    if (!(state_.capabilities & kPerKeyColours)) view_.SetPreviewColour(checked, r->color_value);
    QueueApplyLight(false, false);
}

void Lighting::PaintKeys(const std::vector<std::pair<int, int>>& keyColours) {
    if (!(state_.capabilities & kPerKeyColours)) return;
    store_.DeleteKeyLights();
    std::vector<KeyLightRecord> rows;
    for (const auto& [code, colour] : keyColours) rows.push_back({0, state_.profile, kKeyColourLightId, code, colour});
    store_.InsertKeyLights(rows);
    queue_.Queue(kWriteKeyColours); // every paint sends its own frame
    view_.ShowWaitDialog();
}

void Lighting::SelectSlot(int slot, HidDeviceList& link) {
    state_.perKeySlot = slot;
    if (model_.deviceType >= 200) return; // family B sends the slot with the light mode
    auto r = Selected();
    if (!r) return;
    const FeatureReport report = SlotSelectReport(*r, slot);
    std::this_thread::sleep_for(kFeaturePause);
    link.SendFeature8(report.data());
    view_.SetPreviewColour(false, 0);
    std::vector<KeyLightRecord> rows;
    store_.ListKeyLights(kKeyColourLightId + slot, &rows);
    for (const KeyLightRecord& k : rows) view_.SetKeyColour(k.key_code, k.key_rgb);
}

int Lighting::ClampChannel(std::u16string_view text, bool* changed) {
    const int value = DecimalToInt(text);
    const int clamped = std::clamp(value, 0, 255);
    std::string digits = std::to_string(clamped);
    *changed = std::u16string(digits.begin(), digits.end()) != text;
    return clamped;
}

} // namespace vantrel
