#include "win32/pictures.h"

#include <wincodec.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "resource_ids.h"
#include "win32/com_ref.h"
#include "window/jpeg_pixels.h"

namespace haojian::win32 {
namespace {

// A 32-bit top-down DIB section of the given size and its bits.
HBITMAP MakeSection(int width, int height, void** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

}  // namespace

Picture::~Picture() {
    if (bitmap_) DeleteObject(bitmap_);
}

Picture::Picture(Picture&& other) noexcept
    : bitmap_(std::exchange(other.bitmap_, nullptr)),
      width_(other.width_),
      height_(other.height_),
      alpha_(other.alpha_) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        if (bitmap_) DeleteObject(bitmap_);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        width_ = other.width_;
        height_ = other.height_;
        alpha_ = other.alpha_;
    }
    return *this;
}

Picture Picture::FromPixels(const RgbPixels& pixels, bool transparent_corner) {
    Picture picture;
    if (pixels.empty()) return picture;
    void* bits = nullptr;
    picture.bitmap_ = MakeSection(pixels.width, pixels.height, &bits);
    if (!picture.bitmap_) return picture;
    picture.width_ = pixels.width;
    picture.height_ = pixels.height;
    picture.alpha_ = transparent_corner;
    const unsigned char* key =
        pixels.rgb.data() + std::size_t(pixels.height - 1) * std::size_t(pixels.width) * 3;
    // The pictures are JPEGs: the background is matched within a tolerance, not exactly.
    constexpr int kTolerance = 24;
    auto* out = static_cast<unsigned char*>(bits);
    const std::size_t count = std::size_t(pixels.width) * std::size_t(pixels.height);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* p = pixels.rgb.data() + i * 3;
        const bool clear = transparent_corner && std::abs(p[0] - key[0]) <= kTolerance &&
                           std::abs(p[1] - key[1]) <= kTolerance &&
                           std::abs(p[2] - key[2]) <= kTolerance;
        out[i * 4 + 0] = clear ? 0 : p[2];
        out[i * 4 + 1] = clear ? 0 : p[1];
        out[i * 4 + 2] = clear ? 0 : p[0];
        out[i * 4 + 3] = clear ? 0 : 255;
    }
    return picture;
}

Picture Picture::FromJpegResource(const wchar_t* name, bool transparent_corner) {
    return FromPixels(DecodeJpegPixels(ResourceBytes(name)), transparent_corner);
}

Picture Picture::FromPngResource(const wchar_t* name) {
    Picture picture;
    const std::string_view bytes = ResourceBytes(name);
    if (bytes.empty()) return picture;
    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&factory))))
        return picture;
    ComRef<IWICStream> stream;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateStream(&stream)) ||
        FAILED(stream->InitializeFromMemory(
            reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())), DWORD(bytes.size()))) ||
        FAILED(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnLoad,
                                                &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) ||
        FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)))
        return picture;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0) return picture;
    void* bits = nullptr;
    HBITMAP bitmap = MakeSection(int(width), int(height), &bits);
    if (!bitmap) return picture;
    if (FAILED(converter->CopyPixels(nullptr, width * 4, width * height * 4,
                                     static_cast<BYTE*>(bits)))) {
        DeleteObject(bitmap);
        return picture;
    }
    picture.bitmap_ = bitmap;
    picture.width_ = int(width);
    picture.height_ = int(height);
    picture.alpha_ = true;
    return picture;
}

void Picture::Draw(HDC dc, const RECT& into) const {
    if (!bitmap_) return;
    const HDC source = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(source, bitmap_);
    const int w = into.right - into.left, h = into.bottom - into.top;
    if (alpha_) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(dc, into.left, into.top, w, h, source, 0, 0, width_, height_, blend);
    } else {
        SetStretchBltMode(dc, w == width_ && h == height_ ? COLORONCOLOR : HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, into.left, into.top, w, h, source, 0, 0, width_, height_, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

std::string_view ResourceBytes(const wchar_t* name) {
    const HRSRC found = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(nullptr, found);
    if (!loaded) return {};
    const void* bytes = LockResource(loaded);
    return bytes ? std::string_view(static_cast<const char*>(bytes), SizeofResource(nullptr, found))
                 : std::string_view();
}

HICON ApplicationIcon(int size_metric) {
    const int size = GetSystemMetrics(size_metric);
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                         MAKEINTRESOURCEW(HAOJIAN_ICON_APPLICATION), IMAGE_ICON,
                                         size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

}  // namespace haojian::win32
