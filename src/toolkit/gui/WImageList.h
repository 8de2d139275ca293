#pragma once

#include <vector>

// Pictures of one size (16 x 16 by default) for a tree view, taken from bitmaps by id and scaled to the
// list's size.
class WImageList {
public:
    explicit WImageList(int width = 16, int height = 16) : width_(width), height_(height) {}

    // Returns the image's index.
    int add(int bitmapId);
    int count() const { return static_cast<int>(bitmaps_.size()); }
    // The bitmap id of an image, 0 for an index out of range.
    int bitmapId(int index) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_;
    int height_;
    std::vector<int> bitmaps_;
};
