#pragma once

// A bitmap of the program's resources, by id. Valid when the installed catalogue has it.
class WBitmap {
public:
    WBitmap() = default;
    explicit WBitmap(int id);
    virtual ~WBitmap() = default;
    virtual const char* className() const { return "WBitmap"; }

    bool isValid() const { return width_ > 0; }
    int id() const { return id_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int id_ = 0;
    int width_ = 0;
    int height_ = 0;
};
