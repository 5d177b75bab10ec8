#include "picture_files.h"

#include <QBuffer>
#include <QImageWriter>

namespace vesk::test {

namespace {

void Put16(Bytes& bytes, unsigned value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(Bytes& bytes, std::uint32_t value) {
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

}  // namespace

QRgb PatternColor(int x, int y) {
    return qRgb(40 * x % 256, 60 * y % 256, 128);
}

QImage PatternImage(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, PatternColor(x, y));
        }
    }
    return image;
}

Bytes QtEncoded(const QImage& image, const char* format) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return {encoded.begin(), encoded.end()};
}

Bytes CursorOf(const QImage& image) {
    // A cursor is an icon whose type is 2 and whose entry has the hot spot where an icon has
    // planes and bit count.
    Bytes cursor = QtEncoded(image, "ico");
    cursor[2] = 2;
    cursor[10] = 1;
    cursor[11] = 0;
    cursor[12] = 2;
    cursor[13] = 0;
    return cursor;
}

QRgb PaletteColor(int index) {
    return qRgb(50 * index, 255 - 50 * index, 30 * index);
}

Bytes RunLengthBitmap(int bitsPerPixel) {
    // Rows run bottom up. RLE8 codes the bottom row as an absolute run (0, count, indices,
    // pad); RLE4 as an encoded run alternating the two nibbles. 0,0 ends a row, 0,1 the bitmap.
    const Bytes data = bitsPerPixel == 8 ? Bytes{0, 4, 1, 2, 1, 2, 0, 0, 4, 3, 0, 1}
                                         : Bytes{4, 0x12, 0, 0, 4, 0x33, 0, 1};
    const std::uint32_t colours = 1u << bitsPerPixel;
    const std::uint32_t dataOffset = 14 + 40 + 4 * colours;
    Bytes bytes{'B', 'M'};
    Put32(bytes, dataOffset + static_cast<std::uint32_t>(data.size()));
    Put32(bytes, 0);
    Put32(bytes, dataOffset);
    for (std::uint32_t field : {40u, 4u, 2u}) {
        Put32(bytes, field);
    }
    Put16(bytes, 1);
    Put16(bytes, static_cast<unsigned>(bitsPerPixel));
    const std::uint32_t compression = bitsPerPixel == 8 ? 1 : 2;
    for (std::uint32_t field :
         {compression, static_cast<std::uint32_t>(data.size()), 2835u, 2835u, colours, 0u}) {
        Put32(bytes, field);
    }
    for (std::uint32_t index = 0; index < colours; ++index) {
        const QRgb colour = PaletteColor(static_cast<int>(index % 4));
        Put32(bytes, colour & 0xFFFFFF);
    }
    Append(bytes, data);
    return bytes;
}

Bytes Gif(const std::vector<std::vector<int>>& rows) {
    const auto width = static_cast<unsigned>(rows.front().size());
    const auto height = static_cast<unsigned>(rows.size());
    Bytes bytes{'G', 'I', 'F', '8', '9', 'a'};
    Put16(bytes, width);
    Put16(bytes, height);
    Append(bytes, {0x81, 0, 0});  // a global palette of 4 colours
    for (int index = 0; index < 4; ++index) {
        const QRgb colour = PaletteColor(index);
        Append(bytes,
               {static_cast<std::uint8_t>(qRed(colour)), static_cast<std::uint8_t>(qGreen(colour)),
                static_cast<std::uint8_t>(qBlue(colour))});
    }
    Append(bytes, {0x2C, 0, 0, 0, 0});
    Put16(bytes, width);
    Put16(bytes, height);
    Append(bytes, {0, 2});  // no local palette; LZW codes start at 3 bits
    // A clear code (4) before every pixel keeps the code table empty, so every code is a
    // 3-bit literal. The stream ends with the end code (5).
    Bytes stream;
    unsigned bitBuffer = 0;
    int bitCount = 0;
    const auto putCode = [&](unsigned code) {
        bitBuffer |= code << bitCount;
        for (bitCount += 3; bitCount >= 8; bitCount -= 8, bitBuffer >>= 8) {
            stream.push_back(static_cast<std::uint8_t>(bitBuffer));
        }
    };
    for (const auto& row : rows) {
        for (int index : row) {
            putCode(4);
            putCode(static_cast<unsigned>(index));
        }
    }
    putCode(5);
    stream.push_back(static_cast<std::uint8_t>(bitBuffer));
    for (std::size_t pos = 0; pos < stream.size(); pos += 255) {
        const std::size_t length = std::min<std::size_t>(255, stream.size() - pos);
        bytes.push_back(static_cast<std::uint8_t>(length));
        bytes.insert(bytes.end(), stream.begin() + static_cast<long>(pos),
                     stream.begin() + static_cast<long>(pos + length));
    }
    Append(bytes, {0, 0x3B});
    return bytes;
}

Bytes PlaceableWmf(int right, int bottom, int unitsPerInch) {
    Bytes bytes{0xD7, 0xCD, 0xC6, 0x9A, 0, 0};
    for (int field : {0, 0, right, bottom, unitsPerInch}) {
        Put16(bytes, static_cast<unsigned>(field));
    }
    Put32(bytes, 0);
    unsigned checksum = 0;
    for (std::size_t word = 0; word < 10; ++word) {
        checksum ^= bytes[2 * word] | bytes[2 * word + 1] << 8;
    }
    Put16(bytes, checksum);
    // Standard header (9 words), then the end-of-file record (3 words): 12 words in all.
    for (unsigned field : {1u, 9u, 0x300u}) {
        Put16(bytes, field);
    }
    Put32(bytes, 12);
    Put16(bytes, 0);
    Put32(bytes, 3);
    Put16(bytes, 0);
    Put32(bytes, 3);
    Put16(bytes, 0);
    return bytes;
}

Bytes Emf(int width, int height, std::size_t fileSize) {
    constexpr std::size_t HeaderSize = 88;
    constexpr std::size_t EndRecordSize = 20;
    // A comment record (type 70) takes up any space asked for beyond the two records.
    const std::size_t padding =
        fileSize > HeaderSize + EndRecordSize ? fileSize - HeaderSize - EndRecordSize : 0;
    const auto total = static_cast<std::uint32_t>(HeaderSize + padding + EndRecordSize);
    Bytes bytes;
    for (std::uint32_t field : {1u, 88u, 0u, 0u, 100u, 50u}) {
        Put32(bytes, field);
    }
    for (int field : {0, 0, width, height}) {
        Put32(bytes, static_cast<std::uint32_t>(field));
    }
    for (std::uint32_t field : {0x464D4520u, 0x10000u, total, padding > 0 ? 3u : 2u}) {
        Put32(bytes, field);
    }
    Put16(bytes, 1);
    Put16(bytes, 0);
    for (std::uint32_t field : {0u, 0u, 0u, 1024u, 768u, 320u, 240u}) {
        Put32(bytes, field);
    }
    if (padding > 0) {
        Put32(bytes, 70);
        Put32(bytes, static_cast<std::uint32_t>(padding));
        Put32(bytes, static_cast<std::uint32_t>(padding - 12));
        bytes.resize(bytes.size() + padding - 12, 0);
    }
    for (std::uint32_t field : {14u, 20u, 0u, 16u, 20u}) {
        Put32(bytes, field);
    }
    return bytes;
}

}  // namespace vesk::test
