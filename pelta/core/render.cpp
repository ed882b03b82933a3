#include "pelta/core/render.h"

#include <algorithm>
#include <cmath>

namespace Pelta {

void MRender::SetSource(cairo_t* cr, ARGB c) {
    cairo_set_source_rgba(cr, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0,
                          (c >> 24) / 255.0);
}

void MRender::DrawImage(cairo_t* cr, cairo_surface_t* image, CRect dest, int srcX, int srcY, int srcW,
                        int srcH, double alpha) {
    if (!image || dest.IsRectEmpty() || srcW <= 0 || srcH <= 0) return;
    // A sub-surface with padded edges keeps neighbouring source pixels from bleeding in when scaling.
    SurfacePtr part(cairo_surface_create_for_rectangle(image, srcX, srcY, srcW, srcH));
    cairo_save(cr);
    cairo_rectangle(cr, dest.left, dest.top, dest.Width(), dest.Height());
    cairo_clip(cr);
    cairo_translate(cr, dest.left, dest.top);
    const bool scaled = dest.Width() != srcW || dest.Height() != srcH;
    if (scaled) cairo_scale(cr, double(dest.Width()) / srcW, double(dest.Height()) / srcH);
    cairo_set_source_surface(cr, part.get(), 0, 0);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern, scaled ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
    if (alpha >= 1.0)
        cairo_paint(cr);
    else
        cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void MRender::DrawImageFrame(cairo_t* cr, cairo_surface_t* image, CRect dest, int srcX, int srcY, int srcW,
                             int srcH, int border) {
    DrawImageFrameMID(cr, image, dest, srcX, srcY, srcW, srcH, border, border, border, border);
}

void MRender::DrawImageFrameMID(cairo_t* cr, cairo_surface_t* image, CRect dest, int srcX, int srcY,
                                int srcW, int srcH, int left, int top, int right, int bottom) {
    if (!image || dest.IsRectEmpty() || srcW <= 0 || srcH <= 0) return;
    // Borders larger than the picture or the target are cut down so no piece has a negative size.
    left = std::clamp(left, 0, srcW / 2);
    right = std::clamp(right, 0, srcW - left);
    top = std::clamp(top, 0, srcH / 2);
    bottom = std::clamp(bottom, 0, srcH - top);
    const int dl = std::min(left, dest.Width() / 2), dr = std::min(right, dest.Width() - dl);
    const int dt = std::min(top, dest.Height() / 2), db = std::min(bottom, dest.Height() - dt);
    const int sx[4] = {srcX, srcX + left, srcX + srcW - right, srcX + srcW};
    const int sy[4] = {srcY, srcY + top, srcY + srcH - bottom, srcY + srcH};
    const int dx[4] = {dest.left, dest.left + dl, dest.right - dr, dest.right};
    const int dy[4] = {dest.top, dest.top + dt, dest.bottom - db, dest.bottom};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            DrawImage(cr, image, CRect{dx[col], dy[row], dx[col + 1], dy[row + 1]}, sx[col], sy[row],
                      sx[col + 1] - sx[col], sy[row + 1] - sy[row]);
}

namespace {
int AlphaAt(int index, int count, int startPercent, int endPercent) {
    const double first = 255.0 * (100 - startPercent) / 100.0;
    const double last = 255.0 * (100 - endPercent) / 100.0;
    if (count <= 1) return static_cast<int>(last);
    return static_cast<int>(first + (last - first) * index / (count - 1));
}
} // namespace

int MRender::DrawVerticalTransition(cairo_t* dest, cairo_surface_t* src, CRect destRect, CRect srcRect,
                                    int startPercent, int endPercent) {
    const int rows = std::min(destRect.Height(), srcRect.Height());
    int alpha = 0;
    for (int row = 0; row < rows; ++row) {
        alpha = AlphaAt(row, rows, startPercent, endPercent);
        DrawImage(dest, src, CRect::FromSize(destRect.left, destRect.top + row, destRect.Width(), 1),
                  srcRect.left, srcRect.top + row, srcRect.Width(), 1, alpha / 255.0);
    }
    return alpha;
}

int MRender::DrawHorizontalTransition(cairo_t* dest, cairo_surface_t* src, CRect destRect, CRect srcRect,
                                      int startPercent, int endPercent) {
    const int cols = std::min(destRect.Width(), srcRect.Width());
    int alpha = 0;
    for (int col = 0; col < cols; ++col) {
        alpha = AlphaAt(col, cols, startPercent, endPercent);
        DrawImage(dest, src, CRect::FromSize(destRect.left + col, destRect.top, 1, destRect.Height()),
                  srcRect.left + col, srcRect.top, 1, srcRect.Height(), alpha / 255.0);
    }
    return alpha;
}

void MRender::DrawRightBottomTransition(cairo_t* cr, CRect rect, int size, COLORREF colour) {
    if (size <= 0) return;
    const ARGB c = ArgbFromColorref(colour);
    cairo_pattern_t* fade = cairo_pattern_create_radial(rect.right, rect.bottom, 0, rect.right, rect.bottom, size);
    const double r = ((c >> 16) & 0xFF) / 255.0, g = ((c >> 8) & 0xFF) / 255.0, b = (c & 0xFF) / 255.0;
    cairo_pattern_add_color_stop_rgba(fade, 0, r, g, b, 1);
    cairo_pattern_add_color_stop_rgba(fade, 1, r, g, b, 0);
    cairo_save(cr);
    cairo_rectangle(cr, rect.right - size, rect.bottom - size, size, size);
    cairo_set_source(cr, fade);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(fade);
}

namespace {
void RoundPath(cairo_t* cr, double x, double y, double w, double h, double rx, double ry) {
    cairo_new_path(cr);
    if (rx <= 0 || ry <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    rx = std::min(rx, w / 2);
    ry = std::min(ry, h / 2);
    const double corners[4][3] = {{x + w - rx, y + ry, -M_PI / 2}, {x + w - rx, y + h - ry, 0},
                                  {x + rx, y + h - ry, M_PI / 2}, {x + rx, y + ry, M_PI}};
    for (const auto& c : corners) {
        cairo_save(cr);
        cairo_translate(cr, c[0], c[1]);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, c[2], c[2] + M_PI / 2);
        cairo_restore(cr);
    }
    cairo_close_path(cr);
}
} // namespace

void MRender::DrawRoundRectange(cairo_t* cr, float x, float y, float w, float h, float divisor, ARGB pen,
                                float penWidth, bool fill, ARGB fillColour) {
    if (divisor <= 0) return;
    double rx = w / divisor / 2, ry = h / divisor / 2;
    if (std::abs(rx * 2 - ry * 2) > 10) rx = ry = std::min(rx, ry);
    cairo_save(cr);
    RoundPath(cr, x, y, w, h, rx, ry);
    if (fill) {
        SetSource(cr, fillColour);
        cairo_fill_preserve(cr);
    }
    SetSource(cr, pen);
    cairo_set_line_width(cr, penWidth);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void MRender::DrawRoundRectange(cairo_t* cr, float x, float y, float w, float h, float radius, ARGB pen) {
    cairo_save(cr);
    RoundPath(cr, x, y, w, h, radius, radius);
    SetSource(cr, pen);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void MRender::FillSolidRect(cairo_t* cr, CRect rect, COLORREF colour) { DrawColor(cr, rect, ArgbFromColorref(colour)); }

void MRender::DrawColor(cairo_t* cr, CRect rect, ARGB colour) {
    if ((colour >> 24) == 0 || rect.IsRectEmpty()) return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    SetSource(cr, colour);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void MRender::DrawGradient(cairo_t* cr, CRect rect, COLORREF from, COLORREF to, bool vertical) {
    if (rect.IsRectEmpty()) return;
    const ARGB a = ArgbFromColorref(from), b = ArgbFromColorref(to);
    cairo_pattern_t* p = vertical ? cairo_pattern_create_linear(0, rect.top, 0, rect.bottom)
                                  : cairo_pattern_create_linear(rect.left, 0, rect.right, 0);
    for (const auto& [offset, c] : {std::pair{0.0, a}, std::pair{1.0, b}})
        cairo_pattern_add_color_stop_rgb(p, offset, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0,
                                         (c & 0xFF) / 255.0);
    cairo_save(cr);
    cairo_rectangle(cr, rect.left, rect.top, rect.Width(), rect.Height());
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(p);
}

void MRender::CheckAlphaColor(uint32_t& colour) {
    if ((colour & 0x00FFFFFF) == 0) colour += 1;
}

CPoint MRender::GetOriginPoint(int x, int y, int w, int h, unsigned hAlign, unsigned vAlign, int itemW,
                               int itemH) {
    CPoint p{x, y};
    if (hAlign == 1)
        p.x = x + (w - itemW) / 2;
    else if (hAlign == 2)
        p.x = x + w - itemW;
    if (vAlign == 4)
        p.y = y + (h - itemH) / 2;
    else if (vAlign == 8)
        p.y = y + h - itemH;
    return p;
}

CPoint MRender::GetOriginPoint(CRect box, int itemW, int itemH, unsigned hAlign, unsigned vAlign) {
    CPoint p = GetOriginPoint(box.left, box.top, box.Width(), box.Height(), hAlign, vAlign, itemW, itemH);
    p.y += 2;
    return p;
}

bool MRender::SaveSurfaceToPng(cairo_surface_t* surface, const std::filesystem::path& path) {
    return surface && cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

} // namespace Pelta
