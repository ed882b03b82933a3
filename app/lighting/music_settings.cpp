#include "app/lighting/music_settings.h"

#include <thread>

namespace vantrel {

MusicSettings::MusicSettings(Store& store, const LanguageTexts& texts, Visualizer& visualizer,
                             MusicLevelSettings& levels, std::chrono::milliseconds pause)
    : store_(store), texts_(texts), visualizer_(visualizer), levels_(levels), pause_(pause) {}

MusicLayerRecord MusicSettings::Load(bool rgbKeyboard, bool musicShown) {
    if (store_.CountMusicLayers() == 0) {
        store_.InsertMusicLayer(texts_.GetLanguageText(kMusicLayerNameText) + u" 1", rgbKeyboard ? 17 : 1);
        store_.SelectMusicLayer();
    }
    MusicLayerRecord row;
    row.fore_amplitude = 300;
    row.backb_right = 100;
    store_.GetMusicLayer(store_.GetSelectedMusicLayer(), &row);
    visualizer_.SetActive(false);
    std::this_thread::sleep_for(pause_);
    visualizer_.SetGain(row.fore_amplitude);
    visualizer_.SetBackground(row.backmode, row.backb_right);
    visualizer_.SetForeground(row.foremode);
    if (musicShown) visualizer_.SetActive(true);
    return row;
}

template <typename F>
void MusicSettings::Change(F&& apply) {
    // The analysis rests so that no frame paints with a half-changed pattern.
    visualizer_.SetActive(false);
    std::this_thread::sleep_for(pause_);
    MusicLayerRecord row;
    const bool stored = store_.GetMusicLayer(kMusicLayerId, &row);
    apply(row);
    visualizer_.SetActive(true); // the handlers leave the analysis running
    if (stored) store_.UpdateMusicLayer(row);
}

void MusicSettings::SetForeground(int type) {
    Change([&](MusicLayerRecord& row) {
        row.foremode = type;
        visualizer_.SetForeground(type);
    });
}

void MusicSettings::SetGainSlider(int position) {
    Change([&](MusicLayerRecord& row) {
        row.fore_amplitude = position * 5;
        visualizer_.SetGain(row.fore_amplitude);
    });
}

void MusicSettings::SetBackground(int type) {
    Change([&](MusicLayerRecord& row) {
        row.backmode = type;
        visualizer_.SetBackground(type, row.backb_right);
    });
}

void MusicSettings::SetBackgroundBrightness(int percent) {
    Change([&](MusicLayerRecord& row) {
        row.backb_right = percent;
        visualizer_.SetBackground(row.backmode, percent);
    });
}

} // namespace vantrel
