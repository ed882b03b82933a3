// The music mode's settings: family A's shared row of t_musiclayer_data (layer 1 of profile 1)
// applied to the Visualizer, and family B's level settings, which live only in memory.
#pragma once

#include "app/core/language.h"
#include "app/lighting/level_capture.h"
#include "app/lighting/visualizer.h"
#include "app/store/store.h"

#include <chrono>

namespace vantrel {

inline constexpr int kMusicLayerNameText = 101;

class MusicSettings {
public:
    // `pause` is how long the analysis rests around a change (150 ms; tests pass 0).
    MusicSettings(Store& store, const LanguageTexts& texts, Visualizer& visualizer, MusicLevelSettings& levels,
                  std::chrono::milliseconds pause = std::chrono::milliseconds(150));

    // Makes sure the row exists (foreground 17 for RGB keyboards, else 1), reads it into the
    // Visualizer; the analysis becomes active when `musicShown`.
    MusicLayerRecord Load(bool rgbKeyboard, bool musicShown);

    // Family A handlers: the analysis rests, the field changes, the row is written.
    void SetForeground(int type);
    void SetGainSlider(int position); // gain = position × 5
    void SetBackground(int type);
    void SetBackgroundBrightness(int percent);

    // Family B handlers: nothing is stored; the next level report carries the value.
    void SetEffect(int effect) { levels_.effect = effect; }
    void SetLevelGainSlider(int position) { levels_.gainSlider = position; }
    void SetCapturePeriod(int ms) {
        if (ms != 0) levels_.periodMs = ms;
    }
    void SetLevelColour(int index) { levels_.colour = index; }

private:
    template <typename F>
    void Change(F&& apply);

    Store& store_;
    const LanguageTexts& texts_;
    Visualizer& visualizer_;
    MusicLevelSettings& levels_;
    std::chrono::milliseconds pause_;
};

} // namespace vantrel
