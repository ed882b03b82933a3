// Decoded pictures: one frame for PNG, every frame of a GIF composed onto its canvas.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "pelta/core/api.h"
#include "pelta/core/surface.h"

namespace Pelta {

class PELTA_API Image {
public:
    // Null on any load error: missing, truncated or not a PNG or GIF.
    static std::unique_ptr<Image> LoadFromFile(const std::filesystem::path& path);
    static std::unique_ptr<Image> FromSurface(SurfacePtr surface);

    int Width() const { return width_; }
    int Height() const { return height_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    // Premultiplied ARGB32; frame is clamped to the last one.
    cairo_surface_t* Frame(int frame = 0) const;
    // Display time of a GIF frame in milliseconds (0 for still pictures).
    int FrameDelay(int frame) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<SurfacePtr> frames_;
    std::vector<int> delays_;

    friend std::unique_ptr<Image> LoadGif(const std::filesystem::path&);
};

} // namespace Pelta
