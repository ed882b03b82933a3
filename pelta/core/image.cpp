#include "pelta/core/image.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <fstream>

namespace Pelta {

namespace {

SurfacePtr LoadPng(const std::filesystem::path& path) {
    SurfacePtr loaded(cairo_image_surface_create_from_png(path.c_str()));
    if (cairo_surface_status(loaded.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    if (cairo_image_surface_get_format(loaded.get()) == CAIRO_FORMAT_ARGB32) return loaded;
    // Opaque PNGs come as RGB24; every picture is ARGB32 so drawing has one path.
    SurfacePtr argb = CreateArgbSurface(cairo_image_surface_get_width(loaded.get()),
                                        cairo_image_surface_get_height(loaded.get()));
    if (!argb) return nullptr;
    ContextPtr cr(cairo_create(argb.get()));
    cairo_set_source_surface(cr.get(), loaded.get(), 0, 0);
    cairo_paint(cr.get());
    return argb;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

} // namespace

std::unique_ptr<Image> LoadGif(const std::filesystem::path& path) {
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpenFileName(path.c_str(), &error));
    if (!gif || DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1) return nullptr;
    const int w = gif->SWidth, h = gif->SHeight;
    if (w <= 0 || h <= 0 || w > 16384 || h > 16384) return nullptr;

    auto image = std::make_unique<Image>();
    image->width_ = w;
    image->height_ = h;
    std::vector<uint32_t> canvas(static_cast<size_t>(w) * h, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& frame = gif->SavedImages[i];
        const GifImageDesc& d = frame.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        if (!map || !frame.RasterBits || d.Width <= 0 || d.Height <= 0) return nullptr;
        GraphicsControlBlock gcb{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif.get(), i, &gcb);
        const std::vector<uint32_t> before = canvas;
        for (int y = 0; y < d.Height; ++y) {
            const int cy = d.Top + y;
            if (cy < 0 || cy >= h) continue;
            for (int x = 0; x < d.Width; ++x) {
                const int cx = d.Left + x;
                if (cx < 0 || cx >= w) continue;
                const int index = frame.RasterBits[static_cast<size_t>(y) * d.Width + x];
                if (index == gcb.TransparentColor || index >= map->ColorCount) continue;
                const GifColorType& c = map->Colors[index];
                canvas[static_cast<size_t>(cy) * w + cx] =
                    0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
            }
        }
        SurfacePtr surface = CreateArgbSurface(w, h);
        if (!surface) return nullptr;
        cairo_surface_flush(surface.get());
        unsigned char* data = cairo_image_surface_get_data(surface.get());
        const int stride = cairo_image_surface_get_stride(surface.get());
        for (int y = 0; y < h; ++y)
            std::memcpy(data + static_cast<size_t>(y) * stride, &canvas[static_cast<size_t>(y) * w],
                        static_cast<size_t>(w) * 4);
        cairo_surface_mark_dirty(surface.get());
        image->frames_.push_back(std::move(surface));
        image->delays_.push_back(gcb.DelayTime * 10);
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = std::max(0, d.Top); y < std::min(h, d.Top + d.Height); ++y)
                for (int x = std::max(0, d.Left); x < std::min(w, d.Left + d.Width); ++x)
                    canvas[static_cast<size_t>(y) * w + x] = 0;
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = before;
        }
    }
    return image;
}

std::unique_ptr<Image> Image::LoadFromFile(const std::filesystem::path& path) {
    char magic[8] = {};
    {
        std::ifstream in(path, std::ios::binary);
        if (!in.read(magic, sizeof magic)) return nullptr;
    }
    if (std::memcmp(magic, "\x89PNG\r\n\x1a\n", 8) == 0) return FromSurface(LoadPng(path));
    if (std::memcmp(magic, "GIF8", 4) == 0) return LoadGif(path);
    return nullptr;
}

std::unique_ptr<Image> Image::FromSurface(SurfacePtr surface) {
    if (!surface) return nullptr;
    auto image = std::make_unique<Image>();
    image->width_ = cairo_image_surface_get_width(surface.get());
    image->height_ = cairo_image_surface_get_height(surface.get());
    image->frames_.push_back(std::move(surface));
    image->delays_.push_back(0);
    return image;
}

cairo_surface_t* Image::Frame(int frame) const {
    if (frames_.empty()) return nullptr;
    return frames_[static_cast<size_t>(std::clamp(frame, 0, FrameCount() - 1))].get();
}

int Image::FrameDelay(int frame) const {
    if (delays_.empty()) return 0;
    return delays_[static_cast<size_t>(std::clamp(frame, 0, FrameCount() - 1))];
}

} // namespace Pelta
