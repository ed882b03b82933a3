// Owning handles for Cairo objects.
#pragma once

#include <cairo.h>

#include <memory>

namespace Pelta {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;

// A premultiplied ARGB32 surface, or null when w or h is not positive or Cairo refuses.
inline SurfacePtr CreateArgbSurface(int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    SurfacePtr s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h));
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return s;
}

} // namespace Pelta
