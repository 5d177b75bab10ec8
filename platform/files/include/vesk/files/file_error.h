#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace vesk::platform {

// The one exception of the file services. what() and Description() give the operation, the
// path involved and the system's reason.
class FileError : public std::runtime_error {
public:
    explicit FileError(const std::string& description);

    // Builds the description "OPERATION 'PATH': REASON" from the system's error code.
    FileError(const std::string& operation, const std::string& path, std::error_code error);

    const std::string& Description() const { return m_description; }

private:
    std::string m_description;
};

}  // namespace vesk::platform
