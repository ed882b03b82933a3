#include "pelta/core/image_list.h"

#include <algorithm>

#include "pelta/core/text.h"

namespace Pelta {

int MImageList::InsertImage(int index, const char16_t* path, int id, int count) {
    if (!path || index < -1) return -1;
    std::lock_guard lock(mutex_);
    if (index >= static_cast<int>(items_.size())) return -1;
    auto item = std::make_unique<_M_IAMGELIST>();
    item->image = Image::LoadFromFile(ToUtf8(path));
    count = std::max(1, count);
    if (!item->image || item->image->Width() / count == 0) return -1;
    item->frameWidth = item->image->Width() / count;
    item->frameHeight = item->image->Height();
    item->id = id;
    item->count = count;
    item->path = path;
    if (index == -1) {
        items_.push_back(std::move(item));
        return static_cast<int>(items_.size()) - 1;
    }
    items_.insert(items_.begin() + index, std::move(item));
    return -1;
}

void MImageList::DrawItemIcon(cairo_t* cr, CRect rect, int index, int frame) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(items_.size())) return;
    const _M_IAMGELIST& item = *items_[static_cast<size_t>(index)];
    frame = std::clamp(frame, 0, item.count - 1);
    MRender::DrawImage(cr, item.image->Frame(0), rect, frame * item.frameWidth, 0, item.frameWidth, item.frameHeight);
}

const _M_IAMGELIST* MImageList::GetItemImageData(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= static_cast<int>(items_.size())) return nullptr;
    return items_[static_cast<size_t>(index)].get();
}

const _M_IAMGELIST* MImageList::GetImageDataByID(int id) const {
    std::lock_guard lock(mutex_);
    for (const auto& item : items_)
        if (item->id == id) return item.get();
    return nullptr;
}

std::u16string MImageList::GetImagePath(int index) const {
    const _M_IAMGELIST* item = GetItemImageData(index);
    return item ? item->path : u"";
}

std::u16string MImageList::GetImagePathByID(int id) const {
    const _M_IAMGELIST* item = GetImageDataByID(id);
    return item ? item->path : u"";
}

int MImageList::GetImageCount() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(items_.size());
}

void MImageList::DelAllImages() {
    std::lock_guard lock(mutex_);
    items_.clear();
}

} // namespace Pelta
