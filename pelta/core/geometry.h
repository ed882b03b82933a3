// Points and rectangles in window client coordinates (device pixels, no scaling).
#pragma once

#include <algorithm>

namespace Pelta {

struct CPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

// Half-open: right and bottom are outside, as with window rectangles.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

    static constexpr CRect FromSize(int x, int y, int w, int h) { return {x, y, x + w, y + h}; }

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr CPoint TopLeft() const { return {left, top}; }

    // Empty when the two do not meet.
    constexpr CRect Intersect(const CRect& o) const {
        CRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
                std::min(bottom, o.bottom)};
        return r.IsRectEmpty() ? CRect{} : r;
    }
    constexpr bool Intersects(const CRect& o) const { return !Intersect(o).IsRectEmpty(); }
    // An empty operand does not widen the result.
    constexpr CRect Union(const CRect& o) const {
        if (IsRectEmpty()) return o;
        if (o.IsRectEmpty()) return *this;
        return {std::min(left, o.left), std::min(top, o.top), std::max(right, o.right),
                std::max(bottom, o.bottom)};
    }
    constexpr CRect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    constexpr CRect Inflate(int d) const { return {left - d, top - d, right + d, bottom + d}; }

    friend bool operator==(const CRect&, const CRect&) = default;
};

} // namespace Pelta
