// Doubles of the main window and of the task actions for running the real device worker.
#pragma once

#include "app/core/device_worker.h"

#include <functional>

namespace vantrel::testing {

// A main window that is shown and has nothing to disable.
struct VisibleWindow : WorkerWindow {
    void EnableWindow(bool) override {}
    bool IsWindowVisible() const override { return true; }
    void EndWaitDialog() override {}
};

// Task actions given as functions; the ones left empty do nothing.
struct FunctionActions : DeviceTaskActions {
    std::function<void()> stream, light;
    void StreamLiveFrame() override {
        if (stream) stream();
    }
    void ApplyLight(KeyboardFamily) override {
        if (light) light();
    }
};

// The worker state of a family-A keyboard on cable showing a live mode on the lighting page.
inline void ShowLiveMode(WorkerState& state, unsigned capabilities) {
    state.deviceFound = state.modePresent = true;
    state.deviceType = 100;
    state.currentPage = kLightingPage;
    state.lightCapabilities = capabilities;
}

} // namespace vantrel::testing
