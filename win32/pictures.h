#pragma once

#include <windows.h>

#include <string_view>

namespace haojian {
struct RgbPixels;
}

namespace haojian::win32 {

// A picture held as a 32-bit top-down DIB section, premultiplied when it has alpha.
class Picture {
public:
    Picture() = default;
    ~Picture();
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;

    // An opaque picture of the decoded pixels; transparent_corner: pixels close to the colour of
    // the bottom-left corner become transparent, as a picture drawn transparent shows.
    static Picture FromPixels(const RgbPixels& pixels, bool transparent_corner = false);
    // The JPEG or PNG picture compiled in as the RCDATA resource of this name; empty when it is
    // missing or cannot be decoded.
    static Picture FromJpegResource(const wchar_t* name, bool transparent_corner = false);
    static Picture FromPngResource(const wchar_t* name);

    bool empty() const { return bitmap_ == nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    HBITMAP bitmap() const { return bitmap_; }
    // Draws the picture into the rectangle, scaled to its size.
    void Draw(HDC dc, const RECT& into) const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool alpha_ = false;
};

// The bytes of the RCDATA resource of this name in the executable.
std::string_view ResourceBytes(const wchar_t* name);

// The application icon at the size of the system metric (SM_CXICON, SM_CXSMICON); shared, not
// to be destroyed.
HICON ApplicationIcon(int size_metric);

}  // namespace haojian::win32
