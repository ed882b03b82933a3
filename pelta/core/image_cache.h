// The per-window image cache: each strip file is decoded once and shared by every control.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "pelta/core/image.h"

namespace Pelta {

struct ImgResInfo {
    Image* image = nullptr; // owned by the cache
    int frameWidth = 0;     // image width / frame count
    int frameHeight = 0;
    int count = 0;
    std::u16string key;
};

class PELTA_API ImageCache {
public:
    // The cached entry for file (a name inside the skin folder), loading it on first request. The
    // frame count of the first request wins. Null when the file does not load or count cannot split
    // it into frames; nothing is cached then, so a later request retries.
    const ImgResInfo* AddImgResInfo(const std::u16string& file, int count);
    void ClearImgResInfo();
    size_t Size() const;

private:
    struct Entry {
        std::unique_ptr<Image> image;
        ImgResInfo info;
    };
    mutable std::mutex mutex_;
    std::map<std::u16string, Entry> byFile_;
};

} // namespace Pelta
