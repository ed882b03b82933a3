#include "pelta/core/shadow.h"

#include <algorithm>
#include <cmath>

#include "pelta/core/image.h"
#include "pelta/core/manager.h"
#include "pelta/core/paint_manager.h"
#include "pelta/core/text.h"

namespace Pelta {

namespace {
// Shown behind its owner; never takes the focus or input.
class ShadowWindow : public MWindow {
public:
    WindowKind GetWindowKind() const override { return WindowKind::Tooltip; }
};
} // namespace

MShadow::MShadow() = default;
MShadow::~MShadow() = default;

bool MShadow::Create(PaintManager* owner) {
    if (!owner || !owner->GetWindow()) return false;
    owner_ = owner;
    window_ = std::make_unique<ShadowWindow>();
    return window_->Create(owner->GetPaintWnd(), u"", WS_POPUP, WS_EX_TOOLWINDOW, CRect{0, 0, 1, 1}) != 0;
}

void MShadow::ShowShadow(int show) {
    show_ = show;
    Update();
}

void MShadow::DisableShadow(int disable) {
    disabled_ = disable;
    Update();
}

int MShadow::KernelAlpha(double d) const {
    const int r = std::max(size_, static_cast<int>(sharpness_));
    const int inner = size_ > static_cast<int>(sharpness_) ? size_ - static_cast<int>(sharpness_) : 0;
    if (d < inner) return static_cast<int>(darkness_);
    // (1 - (d - inner) / (sharpness + 1)) x darkness, ordered so exact values do not round down.
    if (d <= r) return static_cast<int>((sharpness_ + 1.0 - (d - inner)) * darkness_ / (sharpness_ + 1.0));
    return 0;
}

uint32_t MShadow::PreMultiply(COLORREF c, uint8_t alpha) {
    const uint32_t r = (c & 0xFF) * alpha / 255, g = ((c >> 8) & 0xFF) * alpha / 255, b = ((c >> 16) & 0xFF) * alpha / 255;
    return (uint32_t(alpha) << 24) | (r << 16) | (g << 8) | b;
}

SurfacePtr MShadow::MakeShadow(int w, int h, CPoint* origin) const {
    // The owner's rectangle widened by size; every pixel takes the kernel's alpha at its distance
    // from that rectangle (what sweeping the kernel along the edge gives for a rectangle).
    const int r = std::max(size_, static_cast<int>(sharpness_));
    const CRect region{-size_, -size_, w + size_, h + size_};
    const CRect picture = region.Inflate(r + 1);
    if (region.IsRectEmpty() || picture.IsRectEmpty()) return nullptr;
    SurfacePtr surface = CreateArgbSurface(picture.Width(), picture.Height());
    if (!surface) return nullptr;
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < picture.Height(); ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        const int py = picture.top + y;
        const int dy = py < region.top ? region.top - py : py >= region.bottom ? py - region.bottom + 1 : 0;
        for (int x = 0; x < picture.Width(); ++x) {
            const int px = picture.left + x;
            const int dx = px < region.left ? region.left - px : px >= region.right ? px - region.right + 1 : 0;
            const int alpha = std::clamp(KernelAlpha(std::hypot(dx, dy)), 0, 255);
            row[x] = PreMultiply(colour_, static_cast<uint8_t>(alpha));
        }
    }
    cairo_surface_mark_dirty(surface.get());
    if (origin) *origin = {picture.left + offset_.x, picture.top + offset_.y};
    return surface;
}

void MShadow::Update() {
    if (!window_ || !owner_ || !owner_->GetWindow()) return;
    MWindow* owner = owner_->GetWindow();
    if (!show_ || disabled_ || !owner->IsWindowVisible() || owner->IsIconic()) {
        window_->ShowWindow(SW_HIDE);
        return;
    }
    const CRect o = owner->GetWindowRect();
    SurfacePtr picture;
    CPoint origin{};
    if (image_) {
        const CRect target = o.Inflate(size_);
        picture = CreateArgbSurface(target.Width(), target.Height());
        if (picture) {
            ContextPtr cr(cairo_create(picture.get()));
            MRender::DrawImageFrameMID(cr.get(), image_->Frame(0), CRect{0, 0, target.Width(), target.Height()}, 0, 0,
                                       image_->Width(), image_->Height(), corner_.left, corner_.top, corner_.right,
                                       corner_.bottom);
        }
        origin = {-size_ + offset_.x, -size_ + offset_.y};
    } else {
        picture = MakeShadow(o.Width(), o.Height(), &origin);
    }
    if (!picture) return;
    const CRect at = CRect::FromSize(o.left + origin.x, o.top + origin.y, cairo_image_surface_get_width(picture.get()),
                                     cairo_image_surface_get_height(picture.get()));
    window_->SetWindowPos(at);
    window_->ShowWindow(SW_SHOWNOACTIVATE);
    if (window_->Native()) window_->Native()->Present(picture.get(), CRect{0, 0, at.Width(), at.Height()});
    // The shadow lies behind: bring the owner back above it.
    if (owner->Native()) owner->Native()->Raise();
}

int MShadow::SetDarkness(unsigned darkness) {
    if (darkness > 255) return 0;
    darkness_ = darkness;
    Update();
    return 1;
}

int MShadow::SetSharpness(unsigned sharpness) {
    if (sharpness > 35) return 0;
    sharpness_ = sharpness;
    Update();
    return 1;
}

int MShadow::SetSize(int size) {
    if (size < -35 || size > 35) return 0;
    size_ = size;
    Update();
    return 1;
}

int MShadow::SetPosition(int x, int y) {
    if (x < -35 || x > 35 || y < -35 || y > 35) return 0;
    offset_ = {x, y};
    Update();
    return 1;
}

int MShadow::SetColor(COLORREF colour) {
    colour_ = colour & 0xFFFFFF;
    Update();
    return 1;
}

int MShadow::SetImage(const std::u16string& file, CRect corner) {
    std::unique_ptr<Image> image = Image::LoadFromFile(Manager::GetSkinFolder() / ToUtf8(file));
    if (!image) return 0;
    image_ = std::move(image);
    corner_ = corner;
    Update();
    return 1;
}

void MShadow::CopyShadow(const MShadow& other) {
    darkness_ = other.darkness_;
    sharpness_ = other.sharpness_;
    size_ = other.size_;
    offset_ = other.offset_;
    colour_ = other.colour_;
    Update();
}

} // namespace Pelta
