#include "vesk/picture/picture_error.h"

namespace vesk::platform {

PictureError::PictureError(const std::string& description)
    : std::runtime_error(description), m_description(description) {}

}  // namespace vesk::platform
