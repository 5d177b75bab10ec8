#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace vesk::test {

using Bytes = std::vector<std::uint8_t>;

// A width x height image whose pixel (x, y) has the colour PatternColor(x, y).
QImage PatternImage(int width, int height);
QRgb PatternColor(int x, int y);

// `image` in a file format Qt writes: "bmp", "png", "jpeg" or "ico".
Bytes QtEncoded(const QImage& image, const char* format);

// The ICO file of `image` turned into a cursor with its hot spot at (1, 2).
Bytes CursorOf(const QImage& image);

// A 4 x 2 bitmap, 8 (RLE8) or 4 (RLE4) bits per pixel, run-length encoded. Its top row has
// palette index 3 throughout, its bottom row the indices 1, 2, 1, 2.
Bytes RunLengthBitmap(int bitsPerPixel);

// The colour of palette index `index` in RunLengthBitmap and Gif.
QRgb PaletteColor(int index);

// A GIF of the palette indices in `rows` (0 to 3), top row first.
Bytes Gif(const std::vector<std::vector<int>>& rows);

// A placeable WMF whose bounding box is right x bottom units at `unitsPerInch`.
Bytes PlaceableWmf(int right, int bottom, int unitsPerInch);

// An EMF whose frame is width x height HIMETRIC units; the file is padded with comment data
// to `fileSize` bytes when that is larger than the minimum of 108.
Bytes Emf(int width, int height, std::size_t fileSize = 0);

}  // namespace vesk::test
