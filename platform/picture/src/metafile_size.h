#pragma once

#include <cstdint>
#include <vector>

namespace vesk::picture {

struct HimetricSize {
    int width;
    int height;
};

// The size of a placeable Windows metafile from its bounding box and units per inch. Throws
// PictureError when the header is damaged or the file is shorter than its header says.
HimetricSize ReadWmfSize(const std::vector<std::uint8_t>& bytes);

// The size of an enhanced metafile from the frame of its header record, already in HIMETRIC.
// Throws PictureError when the header is damaged or the file is shorter than it says.
HimetricSize ReadEmfSize(const std::vector<std::uint8_t>& bytes);

}  // namespace vesk::picture
