#pragma once

#include <cstdint>
#include <vector>

namespace vesk::picture {

enum class PictureFormat { Unknown, Bmp, Ico, Cur, Gif, Jpeg, Png, Wmf, Emf };

// The format of a picture file, told by its first bytes; Unknown when none fits.
PictureFormat DetectFormat(const std::vector<std::uint8_t>& bytes);

}  // namespace vesk::picture
