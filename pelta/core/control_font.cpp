#include "pelta/core/control_font.h"

#include <algorithm>

#include "pelta/core/manager.h"
#include "pelta/core/paint_manager.h"
#include "pelta/core/text.h"

namespace Pelta {

MControlFont::MControlFont(MObject* parent, unsigned id, CRect rect, const std::u16string& title, int visible,
                           int enabled, int response)
    : MControl(parent, id, rect, visible, enabled, response), title_(title), face_(Manager::GetFontName()),
      size_(Manager::GetFontWidth()) {}

void MControlFont::SetTitle(const char16_t* title) {
    SetControlTitle(title);
    if (visible_) ParentUpdate(rect_, 1);
}

void MControlFont::SetAlignment(unsigned h) { SetAlignment(h, vAlign_); }
void MControlFont::SetVAlignment(unsigned v) { SetAlignment(hAlign_, v); }
void MControlFont::SetAlignment(unsigned h, unsigned v) {
    if (h == hAlign_ && v == vAlign_) return;
    hAlign_ = h;
    vAlign_ = v;
    if (visible_) ParentUpdate(rect_, 1);
}

int MControlFont::SetImage(const char16_t* file, int count) {
    if (!manager_ || !file) return 0;
    const ImgResInfo* info = manager_->AddImgResInfo(file, count);
    if (!info) return 0;
    image_ = info;
    imagePath_ = file;
    frameWidth_ = info->frameWidth;
    frameHeight_ = info->frameHeight;
    count_ = info->count;
    if (visible_) ParentUpdate(rect_, 1);
    return 1;
}

std::optional<std::string> MControlFont::GetFontFamily(const std::u16string& face) const {
    if (!manager_) return std::nullopt;
    return manager_->Fonts().Resolve(ToUtf8(face));
}

FontSpec MControlFont::GetFontSpec() const {
    return {GetFontFamily(face_).value_or(""), size_, style_};
}

void MControlFont::DrawFrame(cairo_t* cr, int frame, CRect dest) const {
    if (!image_) return;
    frame = std::clamp(frame, 0, image_->count - 1);
    MRender::DrawImage(cr, image_->image->Frame(0), dest, frame * frameWidth_, 0, frameWidth_, frameHeight_);
}

void MControlFont::DrawFrameGrid(cairo_t* cr, int frame, CRect dest, int border) const {
    if (!image_) return;
    frame = std::clamp(frame, 0, image_->count - 1);
    MRender::DrawImageFrame(cr, image_->image->Frame(0), dest, frame * frameWidth_, 0, frameWidth_, frameHeight_,
                            border);
}

} // namespace Pelta
