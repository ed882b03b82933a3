// MRender: the drawing primitives every control uses, on Cairo. Colours are ARGB (0xAARRGGBB)
// for drawing and COLORREF (0x00BBGGRR) where the program passes them in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "pelta/core/api.h"
#include "pelta/core/geometry.h"
#include "pelta/core/surface.h"

namespace Pelta {

using ARGB = uint32_t;
using COLORREF = uint32_t;

// Font style bits.
enum FontStyle : unsigned { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2, FontStyleUnderline = 4 };

struct FontSpec {
    std::string family; // a family Pango knows; empty for the default sans family
    int sizePx = 14;
    unsigned style = FontStyleRegular;
};

// Text placement: horizontal 0 near, 1 centre, 2 far; vertical 0 top, 4 centre, 8 bottom.
struct TextFormat {
    unsigned hAlign = 0;
    unsigned vAlign = 4;
    bool wrap = false;
};

constexpr ARGB ArgbFromColorref(COLORREF c, uint8_t alpha = 255) {
    return (ARGB(alpha) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

class PELTA_API MRender {
public:
    static void SetSource(cairo_t* cr, ARGB colour);

    // Draws src (x, y, w, h of the picture) scaled into dest.
    static void DrawImage(cairo_t* cr, cairo_surface_t* image, CRect dest, int srcX, int srcY, int srcW,
                          int srcH, double alpha = 1.0);
    // Nine-grid: corners unscaled, edges stretched along one axis, centre in both.
    static void DrawImageFrame(cairo_t* cr, cairo_surface_t* image, CRect dest, int srcX, int srcY,
                               int srcW, int srcH, int border);
    static void DrawImageFrameMID(cairo_t* cr, cairo_surface_t* image, CRect dest, int srcX, int srcY,
                                  int srcW, int srcH, int left, int top, int right, int bottom);

    // Row (column) by row blending of src onto dest; opacity of the first row is
    // 255 x (100 - startPercent) / 100, of the last 255 x (100 - endPercent) / 100. Returns the last alpha.
    static int DrawVerticalTransition(cairo_t* dest, cairo_surface_t* src, CRect destRect, CRect srcRect,
                                      int startPercent, int endPercent);
    static int DrawHorizontalTransition(cairo_t* dest, cairo_surface_t* src, CRect destRect,
                                        CRect srcRect, int startPercent, int endPercent);
    // A corner of size pixels at the rect's bottom-right, opacity falling from 255 with distance.
    static void DrawRightBottomTransition(cairo_t* dest, CRect rect, int size, COLORREF colour);

    // Corner ellipses w / divisor by h / divisor (both the smaller when they differ by over 10 px).
    static void DrawRoundRectange(cairo_t* cr, float x, float y, float w, float h, float divisor, ARGB pen,
                                  float penWidth, bool fill, ARGB fillColour);
    static void DrawRoundRectange(cairo_t* cr, float x, float y, float w, float h, float radius, ARGB pen);

    static SurfacePtr CreateARGB32Bitmap(int w, int h) { return CreateArgbSurface(w, h); }
    static void FillSolidRect(cairo_t* cr, CRect rect, COLORREF colour);
    // Nothing when the colour's alpha is 0.
    static void DrawColor(cairo_t* cr, CRect rect, ARGB colour);
    // Two-colour gradient with the average alpha of both.
    static void DrawGradient(cairo_t* cr, CRect rect, COLORREF from, COLORREF to, bool vertical);
    // Pure black (low 24 bits 0) becomes 1 so it never equals the transparent key.
    static void CheckAlphaColor(uint32_t& colour);

    // Text through Pango. Lines break only at line feeds unless format.wrap.
    static void DrawText(cairo_t* cr, CRect box, std::u16string_view text, ARGB colour, const FontSpec& font,
                         TextFormat format);
    // Width rounded up; height = the font's line height + 1 (+4 when it has a fraction), per line.
    static CSize GetTextBounds(const FontSpec& font, std::u16string_view text);
    // Characters the font cannot show (0 means every glyph was found).
    static int CountMissingGlyphs(const FontSpec& font, std::u16string_view text);

    static CPoint GetOriginPoint(int x, int y, int w, int h, unsigned hAlign, unsigned vAlign, int itemW,
                                 int itemH);
    // The CRect form places 2 pixels lower.
    static CPoint GetOriginPoint(CRect box, int itemW, int itemH, unsigned hAlign, unsigned vAlign);

    static bool SaveSurfaceToPng(cairo_surface_t* surface, const std::filesystem::path& path);
};

} // namespace Pelta
