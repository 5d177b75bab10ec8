#pragma once

#include <stdexcept>
#include <string>

namespace vesk::platform {

// The failure of a picture operation; Description() says what failed and why.
class PictureError : public std::runtime_error {
public:
    explicit PictureError(const std::string& description);

    const std::string& Description() const { return m_description; }

private:
    std::string m_description;
};

}  // namespace vesk::platform
