// Comparing a surface with a reference picture kept in tests/pelta/golden. Set
// PELTA_UPDATE_GOLDEN=1 to write the references instead (then look at them before committing).
// On a mismatch the picture made is written beside the test as <name>_err.png.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "pelta/core/render.h"

namespace Pelta::testing {

// maxChannelDelta: how far one channel may stray; maxOffPixels: how many pixels may stray further.
inline ::testing::AssertionResult MatchesGolden(cairo_surface_t* made, const std::string& name, int maxChannelDelta = 0,
                                                int maxOffPixels = 0) {
    const std::string reference = std::string(PELTA_GOLDEN_DIR) + "/" + name + ".png";
    if (std::getenv("PELTA_UPDATE_GOLDEN")) {
        MRender::SaveSurfaceToPng(made, reference);
        return ::testing::AssertionSuccess() << "reference written: " << reference;
    }
    SurfacePtr expected(cairo_image_surface_create_from_png(reference.c_str()));
    const std::string err = name + "_err.png";
    if (cairo_surface_status(expected.get()) != CAIRO_STATUS_SUCCESS) {
        MRender::SaveSurfaceToPng(made, err);
        return ::testing::AssertionFailure() << "no reference " << reference << "; made " << err;
    }
    const int w = cairo_image_surface_get_width(made), h = cairo_image_surface_get_height(made);
    if (w != cairo_image_surface_get_width(expected.get()) || h != cairo_image_surface_get_height(expected.get())) {
        MRender::SaveSurfaceToPng(made, err);
        return ::testing::AssertionFailure() << name << ": size differs; made " << err;
    }
    cairo_surface_flush(made);
    int off = 0, worst = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto* a = cairo_image_surface_get_data(made) + y * cairo_image_surface_get_stride(made) + x * 4;
            const auto* b =
                cairo_image_surface_get_data(expected.get()) + y * cairo_image_surface_get_stride(expected.get()) + x * 4;
            int delta = 0;
            for (int c = 0; c < 4; ++c) delta = std::max(delta, std::abs(int(a[c]) - int(b[c])));
            worst = std::max(worst, delta);
            if (delta > maxChannelDelta) ++off;
        }
    if (off > maxOffPixels) {
        MRender::SaveSurfaceToPng(made, err);
        return ::testing::AssertionFailure() << name << ": " << off << " pixels differ (worst channel delta " << worst
                                             << "); made " << err;
    }
    return ::testing::AssertionSuccess();
}

} // namespace Pelta::testing
