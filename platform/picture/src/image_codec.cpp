#include "image_codec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QImageWriter>

#include "vesk/picture/picture_error.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdint>

namespace vesk::picture {

namespace {

constexpr std::uint32_t kBitmapHeaderSize = 54;
// The most pixels a picture may have to be loaded: 100 megapixels, a 10000 x 10000 photo.
constexpr std::int64_t kMaxPixels = 100'000'000;

const char* QtFormatName(PictureFormat format) {
    switch (format) {
        case PictureFormat::Bmp:
            return "bmp";
        case PictureFormat::Ico:
            return "ico";
        case PictureFormat::Cur:
            return "cur";
        case PictureFormat::Gif:
            return "gif";
        case PictureFormat::Jpeg:
            return "jpeg";
        case PictureFormat::Png:
            return "png";
        default:
            throw PictureError("The picture format cannot be decoded as an image");
    }
}

std::vector<std::uint8_t> Encode(const QImage& image, const char* qtFormat) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, qtFormat);
    if (!writer.write(image)) {
        throw PictureError("The picture cannot be encoded: " + writer.errorString().toStdString());
    }
    return {encoded.begin(), encoded.end()};
}

// Refuses a picture whose header claims more than kMaxPixels, and otherwise lets the reader
// allocate what the claimed size needs (at the widest pixel Qt decodes into) instead of Qt's
// fixed default, which refuses ordinary large photos. A picture whose size the header does not
// tell keeps the default, so that memory stays bounded whatever the file claims.
void AllowDecodingOf(QImageReader& reader) {
    const QSize size = reader.size();
    if (!size.isValid()) {
        return;
    }
    const auto pixels = static_cast<std::int64_t>(size.width()) * size.height();
    if (pixels > kMaxPixels) {
        throw PictureError(fmt::format(
            "The picture is too large: {} x {} pixels; the largest that can be loaded has {} "
            "megapixels",
            size.width(), size.height(), kMaxPixels / 1'000'000));
    }
    constexpr std::int64_t kWidestPixelBytes = 8;  // 16 bits for each of four channels
    constexpr std::int64_t kMegabyte = 1 << 20;
    const std::int64_t needed = pixels * kWidestPixelBytes / kMegabyte + 1;
    reader.setAllocationLimit(
        static_cast<int>(std::max<std::int64_t>(needed, reader.allocationLimit())));
}

// The bytes of one row of a 24-bit bitmap `width` pixels wide, padded to 4 bytes.
std::uint32_t BitmapStride(std::uint32_t width) {
    return (width * 3 + 3) & ~3u;
}

}  // namespace

QImage DecodeImage(const std::vector<std::uint8_t>& bytes, PictureFormat format) {
    // The buffer only reads the bytes, which outlive it.
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormatName(format));
    AllowDecodingOf(reader);
    QImage image = reader.read();
    if (image.isNull()) {
        throw PictureError("The picture file is damaged: " + reader.errorString().toStdString());
    }
    return image;
}

std::vector<std::uint8_t> EncodeBitmap(const QImage& source) {
    // Written directly rather than through Qt's writer: one pass over the pixels into a buffer of
    // the final size, which matters for photos of several megabytes.
    const QImage image =
        source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32
            ? source
            : source.convertToFormat(QImage::Format_RGB32);
    const auto width = static_cast<std::uint32_t>(image.width());
    const auto height = static_cast<std::uint32_t>(image.height());
    const std::uint32_t stride = BitmapStride(width);
    const std::uint32_t pixelBytes = stride * height;
    std::vector<std::uint8_t> bmp(EncodedBitmapSize(image.width(), image.height()), 0);
    std::uint8_t* out = bmp.data();
    auto put16 = [&](std::uint16_t value) {
        out[0] = static_cast<std::uint8_t>(value);
        out[1] = static_cast<std::uint8_t>(value >> 8);
        out += 2;
    };
    auto put32 = [&](std::uint32_t value) {
        put16(static_cast<std::uint16_t>(value));
        put16(static_cast<std::uint16_t>(value >> 16));
    };
    put16(0x4D42);  // "BM"
    put32(static_cast<std::uint32_t>(bmp.size()));
    put32(0);
    put32(kBitmapHeaderSize);
    put32(40);  // the information header
    put32(width);
    put32(height);  // positive: rows are stored bottom-up
    put16(1);
    put16(24);
    put32(0);  // uncompressed
    put32(pixelBytes);
    put32(static_cast<std::uint32_t>(image.dotsPerMeterX()));
    put32(static_cast<std::uint32_t>(image.dotsPerMeterY()));
    put32(0);
    put32(0);
    for (std::uint32_t row = 0; row < height; ++row) {
        const auto* pixels =
            reinterpret_cast<const QRgb*>(image.constScanLine(static_cast<int>(height - 1 - row)));
        std::uint8_t* target =
            bmp.data() + kBitmapHeaderSize + static_cast<std::size_t>(row) * stride;
        for (std::uint32_t column = 0; column < width; ++column) {
            target[0] = static_cast<std::uint8_t>(qBlue(pixels[column]));
            target[1] = static_cast<std::uint8_t>(qGreen(pixels[column]));
            target[2] = static_cast<std::uint8_t>(qRed(pixels[column]));
            target += 3;
        }
    }
    return bmp;
}

std::size_t EncodedBitmapSize(int width, int height) {
    return kBitmapHeaderSize +
           static_cast<std::size_t>(BitmapStride(static_cast<std::uint32_t>(width))) *
               static_cast<std::size_t>(height);
}

std::vector<std::uint8_t> EncodeIcon(const QImage& image) {
    return Encode(image, "ico");
}

}  // namespace vesk::picture
