#pragma once

#include <cstdint>
#include <vector>

#include "picture_format.h"

namespace vesk::picture {

// Throws PictureError when a BMP, JPEG, PNG, GIF, ICO or CUR file ends before the data its own
// structure announces. Qt draws such files with the missing part blank, which would store a
// damaged photo as if it were whole. Other formats pass unchecked.
void CheckComplete(PictureFormat format, const std::vector<std::uint8_t>& bytes);

}  // namespace vesk::picture
