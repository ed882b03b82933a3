// MImageList: a small owned list of icons for list-type controls, loaded by the path given.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "pelta/core/image.h"
#include "pelta/core/render.h"

namespace Pelta {

struct _M_IAMGELIST {
    std::unique_ptr<Image> image;
    int frameWidth = 0;
    int frameHeight = 0;
    int id = 0;
    int count = 1;
    std::u16string path;
};

class PELTA_API MImageList {
public:
    // The new index, or -1.
    int AddImage(const char16_t* path, int id, int count) { return InsertImage(-1, path, id, count); }
    // -1 appends and returns the new index; another index inserts before that item and returns -1;
    // a null path, an index below -1 or past the last item, or a file that does not load gives -1.
    int InsertImage(int index, const char16_t* path, int id, int count);
    void DrawItemIcon(cairo_t* cr, CRect rect, int index) const { DrawItemIcon(cr, rect, index, 0); }
    // Frame min(frame, count - 1), scaled into rect.
    void DrawItemIcon(cairo_t* cr, CRect rect, int index, int frame) const;
    const _M_IAMGELIST* GetItemImageData(int index) const;
    const _M_IAMGELIST* GetImageDataByID(int id) const;
    std::u16string GetImagePath(int index) const;
    std::u16string GetImagePathByID(int id) const;
    int GetImageCount() const;
    void SetDrawImgSize(int w, int h) { drawSize_ = {w, h}; }
    CSize GetIconSize() const { return drawSize_; }
    void DelAllImages();

private:
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<_M_IAMGELIST>> items_;
    CSize drawSize_;
};

} // namespace Pelta
