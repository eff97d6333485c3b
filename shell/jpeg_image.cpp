#include "shell/jpeg_image.h"

#include <QFile>
#include <algorithm>

#include "window/jpeg_pixels.h"

namespace haojian {

QImage DecodeJpeg(std::string_view bytes) {
    const RgbPixels pixels = DecodeJpegPixels(bytes);
    if (pixels.empty()) return {};
    QImage image(pixels.width, pixels.height, QImage::Format_RGB888);
    if (image.isNull()) return {};
    const std::size_t row = std::size_t(pixels.width) * 3;
    for (int y = 0; y < pixels.height; ++y)
        std::copy_n(pixels.rgb.data() + row * std::size_t(y), row, image.scanLine(y));
    return image;
}

QImage LoadJpeg(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    return DecodeJpeg(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

}  // namespace haojian
