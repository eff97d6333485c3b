#include "window/jpeg_pixels.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

namespace haojian {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to
// the function that called into libjpeg. The functions that set the jump point hold no
// objects with destructors, so the jump skips nothing.
struct Decoder {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    std::longjmp(static_cast<Decoder*>(info->client_data)->jump, 1);
}

void IgnoreJpegMessage(j_common_ptr) {}

bool StartDecoding(Decoder& d, const unsigned char* bytes, std::size_t size) {
    if (setjmp(d.jump) != 0) return false;
    jpeg_create_decompress(&d.info);
    d.info.client_data = &d;
    jpeg_mem_src(&d.info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&d.info, TRUE);
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
    return true;
}

bool ReadRows(Decoder& d, unsigned char* bits, std::size_t stride) {
    if (setjmp(d.jump) != 0) return false;
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = bits + std::size_t(d.info.output_scanline) * stride;
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

}  // namespace

RgbPixels DecodeJpegPixels(std::string_view bytes) {
    if (bytes.empty()) return {};
    Decoder d{};
    d.info.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = OnJpegError;
    d.errors.output_message = IgnoreJpegMessage;
    d.info.client_data = &d;

    RgbPixels pixels;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (StartDecoding(d, data, bytes.size())) {
        RgbPixels decoded;
        decoded.width = int(d.info.output_width);
        decoded.height = int(d.info.output_height);
        decoded.rgb.resize(std::size_t(decoded.width) * std::size_t(decoded.height) * 3);
        if (ReadRows(d, decoded.rgb.data(), std::size_t(decoded.width) * 3))
            pixels = std::move(decoded);
    }
    jpeg_destroy_decompress(&d.info);
    return pixels;
}

}  // namespace haojian
