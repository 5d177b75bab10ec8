#include "vesk/picture/picture_error.h"

namespace vesk::picture {

PictureError::PictureError(const std::string& description) : Error(description) {}

}  // namespace vesk::picture
