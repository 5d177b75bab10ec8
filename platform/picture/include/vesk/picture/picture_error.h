#pragma once

#include <string>

#include "vesk/errors/error.h"

namespace vesk::platform {

// The failure of a picture operation; Description() says what failed and why.
class PictureError : public Error {
public:
    explicit PictureError(const std::string& description);
};

}  // namespace vesk::platform
