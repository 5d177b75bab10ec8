#include "structure_check.h"

#include <cstdlib>

#include "byte_view.h"

namespace vesk::picture {

namespace {

// Pixel data of a bitmap lies at the offset its file header gives; uncompressed rows are
// padded to 4 bytes, compressed data has its size in the info header.
void CheckBitmap(const ByteView& view) {
    constexpr std::uint32_t CoreHeaderSize = 12;
    const std::uint64_t dataOffset = view.U32(10);
    const bool core = view.U32(14) == CoreHeaderSize;
    const std::uint64_t width = core ? view.U16(18) : std::llabs(view.I32(18));
    const std::uint64_t height = core ? view.U16(20) : std::llabs(view.I32(22));
    const std::uint64_t bitsPerPixel = view.U16(core ? 24 : 28);
    const std::uint32_t compression = core ? 0 : view.U32(30);
    // Plain RGB, or RGB with bit-field masks (3 and 6); the others (RLE, JPEG, PNG) say their size.
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed) {
        view.Require(dataOffset, view.U32(34));
        return;
    }
    const std::uint64_t stride = (width * bitsPerPixel + 31) / 32 * 4;
    if (stride != 0 && height > view.Size() / stride) {
        ThrowTruncated();
    }
    view.Require(dataOffset, stride * height);
}

// Walks the marker segments up to the end-of-image marker. Entropy-coded data after a
// start-of-scan is skipped by looking for the next marker (0xFF not followed by 0x00 or 0xFF).
void CheckJpeg(const ByteView& view) {
    constexpr std::uint8_t EndOfImage = 0xD9;
    std::size_t pos = 2;
    while (true) {
        while (view.U8(pos) != 0xFF || view.U8(pos + 1) == 0x00 || view.U8(pos + 1) == 0xFF) {
            ++pos;
        }
        const std::uint8_t marker = view.U8(pos + 1);
        if (marker == EndOfImage) {
            return;
        }
        const bool standalone = marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
        pos += 2 + (standalone ? 0 : view.U16BigEndian(pos + 2));
    }
}

// Walks the chunks (length, type, data, checksum) up to the whole end chunk.
void CheckPng(const ByteView& view) {
    constexpr std::uint32_t EndChunk = 0x49454E44;  // "IEND"
    constexpr std::size_t ChunkOverhead = 12;
    std::size_t pos = 8;
    while (true) {
        const std::uint64_t chunkSize = ChunkOverhead + view.U32BigEndian(pos);
        view.Require(pos, chunkSize);
        if (view.U32BigEndian(pos + 4) == EndChunk) {
            return;
        }
        pos += chunkSize;
    }
}

std::size_t ColorTableSize(std::uint8_t flags) {
    return (flags & 0x80) != 0 ? 3u * (2u << (flags & 7)) : 0u;
}

// Skips a chain of data sub-blocks (length byte, data) ended by a zero length.
std::size_t SkipSubBlocks(const ByteView& view, std::size_t pos) {
    for (std::uint8_t length = view.U8(pos); length != 0; length = view.U8(pos)) {
        pos += 1 + length;
    }
    return pos + 1;
}

// Walks the blocks of a GIF up to its trailer. An unknown block ends the walk: what follows is
// left to the decoder.
void CheckGif(const ByteView& view) {
    constexpr std::uint8_t Extension = 0x21;
    constexpr std::uint8_t ImageDescriptor = 0x2C;
    constexpr std::uint8_t Trailer = 0x3B;
    std::size_t pos = 13 + ColorTableSize(view.U8(10));
    for (std::uint8_t block = view.U8(pos); block != Trailer; block = view.U8(pos)) {
        if (block == Extension) {
            pos = SkipSubBlocks(view, pos + 2);
        } else if (block == ImageDescriptor) {
            pos = SkipSubBlocks(view, pos + 10 + ColorTableSize(view.U8(pos + 9)) + 1);
        } else {
            return;
        }
    }
}

// Every image of an icon or cursor directory must lie inside the file.
void CheckIconDirectory(const ByteView& view) {
    const unsigned count = view.U16(4);
    if (count == 0) {
        throw PictureError("The picture file is damaged: the icon holds no image");
    }
    for (unsigned entry = 0; entry < count; ++entry) {
        const std::size_t field = 6 + 16 * entry;
        view.Require(view.U32(field + 12), view.U32(field + 8));
    }
}

}  // namespace

void CheckComplete(PictureFormat format, const std::vector<std::uint8_t>& bytes) {
    const ByteView view(bytes);
    switch (format) {
        case PictureFormat::Bmp:
            return CheckBitmap(view);
        case PictureFormat::Jpeg:
            return CheckJpeg(view);
        case PictureFormat::Png:
            return CheckPng(view);
        case PictureFormat::Gif:
            return CheckGif(view);
        case PictureFormat::Ico:
        case PictureFormat::Cur:
            return CheckIconDirectory(view);
        default:
            return;
    }
}

}  // namespace vesk::picture
