#include "vesk/files/file_error.h"

namespace vesk::platform {

FileError::FileError(const std::string& description)
    : std::runtime_error(description), m_description(description) {}

FileError::FileError(const std::string& operation, const std::string& path, std::error_code error)
    : FileError(operation + " '" + path + "': " + error.message()) {}

}  // namespace vesk::platform
