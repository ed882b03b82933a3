// The light page's model: a profile's light rows, the selected mode and its parameters, and
// the per-key colours. UI thread; the worker reads LightState and the store.
#pragma once

#include "app/core/device_task_queue.h"
#include "app/core/language.h"
#include "app/device/device_info.h"
#include "app/device/family.h"
#include "app/lighting/light_payloads.h"
#include "app/store/store.h"

#include <atomic>
#include <string>
#include <utility>
#include <vector>

namespace vantrel {

inline constexpr int kPreviewLightMode = 102;
inline constexpr int kPreviewPerKeyMode = 103;
inline constexpr int kDefaultFreeColour = 0x0000FF;

// What the worker and the other pages read of the light page.
struct LightState {
    std::atomic<int> profile{0};
    std::atomic<int> selectedMode{0};
    std::atomic<unsigned> capabilities{0};
    std::atomic<bool> modeSent{false};
    std::atomic<int> perKeySlot{0};
};

// What the light operations show.
class LightView {
public:
    virtual ~LightView() = default;
    // The mode list: (text, mode) items, and the mode shown selected (0: none).
    virtual void SetModeList(const std::vector<std::pair<std::u16string, int>>& items, int selected) = 0;
    // The mode's controls, shown or hidden by its capability bits and loaded from the record.
    virtual void ShowMode(const LightRecord& record, unsigned capabilities, KeyboardFamily family) = 0;
    virtual void SetPreviewMode(int mode) = 0;
    virtual void SetPreviewColour(bool colourful, int colour) = 0;
    virtual void SetPreviewSpeed(int speed) = 0;
    virtual void SetPaintColour(int colour) = 0;
    virtual void SetKeyColour(int keyCode, int colour) = 0;
    virtual void SetPerKeyControls(bool shown) = 0;
    // Closes an open wait dialog and shows a new one after a queued job.
    virtual void ShowWaitDialog() = 0;
};

class Lighting {
public:
    Lighting(Store& store, const LanguageTexts& texts, DeviceTaskQueue& queue, LightView& view, LightState& state);

    // The model's light modes and defaults, and its family.
    void SetModel(const ModelSettings& model);
    void SetProfile(int profile) { state_.profile = profile; }

    void EnsureDefaultLightRows();
    void FillLightModeList();
    void RefreshLightPage();

    // A mode chosen in the list.
    void SelectMode(int mode);
    void SetBrightness(int value);
    void SetSpeed(int value);
    void SetDirection(bool left);
    void SetPresetColour(int index);
    // Area 1 to 6, colour index 0 to 6.
    void SetAreaColour(int area, int index);
    void SetFreeColour(int colour);
    // `keepColour`: unchecked as a side effect of choosing a colour.
    void SetColourful(bool checked, bool keepColour = false);

    // Per-key mode: the preview's keys and their colours after a paint.
    void PaintKeys(const std::vector<std::pair<int, int>>& keyColours);
    // Family A below type 200: shows and selects a per-key colour slot (0 to 2).
    void SelectSlot(int slot, HidDeviceList& link);

    // A colour channel typed into an edit box: decimal, clamped to 0..255.
    static int ClampChannel(std::u16string_view text, bool* changed);
    static int ComposeColour(int red, int green, int blue) { return red | green << 8 | blue << 16; }

    std::optional<LightRecord> Selected() const;
    const std::vector<LightModeEntry>& Modes() const { return model_.lightModes; }

private:
    // Reads the selected row, lets `change` edit it, writes it back; false when there is none.
    template <typename F>
    bool Change(F&& change);
    void QueueApplyLight(bool onlyWhenIdle, bool showWait);
    KeyboardFamily Family() const { return FamilyForDeviceType(model_.deviceType); }

    Store& store_;
    const LanguageTexts& texts_;
    DeviceTaskQueue& queue_;
    LightView& view_;
    LightState& state_;
    ModelSettings model_;
};

} // namespace vantrel
