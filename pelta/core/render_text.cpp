// MRender's text half: layout, measuring and drawing through Pango.
#include <pango/pangocairo.h>

#include <cmath>
#include <list>

#include "pelta/core/render.h"
#include "pelta/core/text.h"

namespace Pelta {

namespace {

struct LayoutDeleter {
    void operator()(PangoLayout* l) const { g_object_unref(l); }
};
using LayoutPtr = std::unique_ptr<PangoLayout, LayoutDeleter>;

PangoFontDescription* Describe(const FontSpec& font) {
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, font.family.empty() ? "Sans" : font.family.c_str());
    pango_font_description_set_absolute_size(d, std::max(1, font.sizePx) * PANGO_SCALE);
    pango_font_description_set_weight(d, font.style & FontStyleBold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, font.style & FontStyleItalic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    return d;
}

// Measuring happens without a target surface; each thread keeps its own context (Pango's are not
// shared across threads).
PangoContext* MeasureContext() {
    thread_local struct Holder {
        PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
        ~Holder() { g_object_unref(context); }
    } holder;
    return holder.context;
}

void Configure(PangoLayout* layout, const FontSpec& font, std::u16string_view text) {
    PangoFontDescription* d = Describe(font);
    pango_layout_set_font_description(layout, d);
    pango_font_description_free(d);
    if (font.style & FontStyleUnderline) {
        PangoAttrList* attrs = pango_attr_list_new();
        pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    const std::string utf8 = ToUtf8(text);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
}

// Controls draw the same text in every state frame and every repaint of their cache: a few recent
// layouts are kept per thread and re-targeted at the context being drawn on.
class LayoutCache {
public:
    PangoLayout* Get(cairo_t* cr, const FontSpec& font, std::u16string_view text, const TextFormat& format, int width) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->family == font.family && it->size == font.sizePx && it->style == font.style &&
                it->hAlign == format.hAlign && it->wrap == format.wrap && it->width == width && it->text == text) {
                entries_.splice(entries_.begin(), entries_, it);
                pango_cairo_update_layout(cr, it->layout.get());
                return it->layout.get();
            }
        LayoutPtr layout(pango_cairo_create_layout(cr));
        Configure(layout.get(), font, text);
        if (format.wrap) {
            pango_layout_set_width(layout.get(), width * PANGO_SCALE);
            pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        }
        pango_layout_set_alignment(layout.get(), format.hAlign == 1   ? PANGO_ALIGN_CENTER
                                                 : format.hAlign == 2 ? PANGO_ALIGN_RIGHT
                                                                      : PANGO_ALIGN_LEFT);
        entries_.push_front({font.family, font.sizePx, font.style, format.hAlign, format.wrap, width,
                             std::u16string(text), std::move(layout)});
        if (entries_.size() > kSize) entries_.pop_back();
        return entries_.front().layout.get();
    }

private:
    static constexpr size_t kSize = 256;
    struct Entry {
        std::string family;
        int size;
        unsigned style;
        unsigned hAlign;
        bool wrap;
        int width;
        std::u16string text;
        LayoutPtr layout;
    };
    std::list<Entry> entries_;
};

} // namespace

void MRender::DrawText(cairo_t* cr, CRect box, std::u16string_view text, ARGB colour, const FontSpec& font,
                       TextFormat format) {
    if (text.empty() || box.IsRectEmpty() || (colour >> 24) == 0) return;
    thread_local LayoutCache cache;
    PangoLayout* layout = cache.Get(cr, font, text, format, box.Width());
    PangoRectangle logical;
    pango_layout_get_pixel_extents(layout, nullptr, &logical);
    const CPoint origin = GetOriginPoint(box.left, box.top, box.Width(), box.Height(), format.wrap ? 0 : format.hAlign,
                                         format.vAlign, logical.width, logical.height);
    cairo_save(cr);
    cairo_rectangle(cr, box.left, box.top, box.Width(), box.Height());
    cairo_clip(cr);
    SetSource(cr, colour);
    cairo_move_to(cr, format.wrap ? box.left : origin.x - logical.x, origin.y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
}

CSize MRender::GetTextBounds(const FontSpec& font, std::u16string_view text) {
    LayoutPtr layout(pango_layout_new(MeasureContext()));
    Configure(layout.get(), font, text);
    PangoRectangle logical;
    pango_layout_get_extents(layout.get(), nullptr, &logical);
    const int lines = pango_layout_get_line_count(layout.get());
    const int lineHeight = lines > 0 ? logical.height / lines : logical.height;
    const int extra = lineHeight % PANGO_SCALE ? 4 : 1;
    return {static_cast<int>(std::ceil(double(logical.width) / PANGO_SCALE)),
            lines * (lineHeight / PANGO_SCALE + extra)};
}

int MRender::CountMissingGlyphs(const FontSpec& font, std::u16string_view text) {
    LayoutPtr layout(pango_layout_new(MeasureContext()));
    Configure(layout.get(), font, text);
    return pango_layout_get_unknown_glyphs_count(layout.get());
}

} // namespace Pelta
