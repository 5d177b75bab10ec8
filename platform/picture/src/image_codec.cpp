#include "image_codec.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QImageWriter>

#include "vesk/picture/picture_error.h"

namespace vesk::platform {

namespace {

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

}  // namespace

QImage DecodeImage(const std::vector<std::uint8_t>& bytes, PictureFormat format) {
    // The buffer only reads the bytes, which outlive it.
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormatName(format));
    QImage image = reader.read();
    if (image.isNull()) {
        throw PictureError("The picture file is damaged: " + reader.errorString().toStdString());
    }
    return image;
}

std::vector<std::uint8_t> EncodeBitmap(const QImage& image) {
    // Qt writes 24 bits per pixel only for images without alpha or palette.
    return Encode(image.convertToFormat(QImage::Format_RGB32), "bmp");
}

std::vector<std::uint8_t> EncodeIcon(const QImage& image) {
    return Encode(image, "ico");
}

}  // namespace vesk::platform
