#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace haojian {

// A picture as rows of RGB bytes, three per pixel, top row first, without padding.
struct RgbPixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    bool empty() const { return width == 0 || height == 0; }
};

// Decodes JPEG bytes with libjpeg's decompression interface; empty when the bytes are no JPEG
// this decoder can read. Both windows show their pictures from it, so they show the same pixels.
RgbPixels DecodeJpegPixels(std::string_view bytes);

}  // namespace haojian
