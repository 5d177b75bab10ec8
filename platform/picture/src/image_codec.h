#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "picture_format.h"

namespace vesk::picture {

// Decodes a raster picture file through Qt. Throws PictureError with Qt's reason when the data
// cannot be decoded.
QImage DecodeImage(const std::vector<std::uint8_t>& bytes, PictureFormat format);

// An uncompressed 24-bit BMP of `image`: 54 header bytes, then rows padded to 4 bytes. Alpha is
// dropped.
std::vector<std::uint8_t> EncodeBitmap(const QImage& image);

// The number of bytes EncodeBitmap gives for an image of `width` x `height` pixels.
std::size_t EncodedBitmapSize(int width, int height);

// An ICO file holding `image`.
std::vector<std::uint8_t> EncodeIcon(const QImage& image);

}  // namespace vesk::picture
