#pragma once

#include <string>

#include "vesk/errors/error.h"

namespace vesk::picture {

// The failure of a picture operation; Description() says what failed and why.
class PictureError : public Error {
public:
    explicit PictureError(const std::string& description);
};

}  // namespace vesk::picture
