#pragma once

#include <QImage>
#include <QString>
#include <string_view>

namespace haojian {

// Decodes JPEG bytes with libjpeg's decompression interface. A null image when the bytes are
// no JPEG this decoder can read.
QImage DecodeJpeg(std::string_view bytes);

// Decodes the JPEG file or resource at path (":/pictures/..." for the compiled-in pictures).
QImage LoadJpeg(const QString& path);

}  // namespace haojian
