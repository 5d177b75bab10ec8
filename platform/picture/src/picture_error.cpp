#include "vesk/picture/picture_error.h"

namespace vesk::platform {

PictureError::PictureError(const std::string& description) : Error(description) {}

}  // namespace vesk::platform
