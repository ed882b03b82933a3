#include "pelta/core/image_cache.h"

#include "pelta/core/manager.h"
#include "pelta/core/text.h"

namespace Pelta {

const ImgResInfo* ImageCache::AddImgResInfo(const std::u16string& file, int count) {
    std::lock_guard lock(mutex_);
    if (auto it = byFile_.find(file); it != byFile_.end()) return &it->second.info;
    if (file.empty() || count <= 0) return nullptr;
    std::unique_ptr<Image> image = Image::LoadFromFile(Manager::GetSkinFolder() / ToUtf8(file));
    // A strip narrower than its frame count would give zero-width frames.
    if (!image || image->Width() / count == 0) return nullptr;
    Entry& e = byFile_[file];
    e.info = {image.get(), image->Width() / count, image->Height(), count, file};
    e.image = std::move(image);
    return &e.info;
}

void ImageCache::ClearImgResInfo() {
    std::lock_guard lock(mutex_);
    byFile_.clear();
}

size_t ImageCache::Size() const {
    std::lock_guard lock(mutex_);
    return byFile_.size();
}

} // namespace Pelta
