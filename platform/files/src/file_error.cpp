#include "vesk/files/file_error.h"

namespace vesk::files {

FileError::FileError(const std::string& description) : Error(description) {}

FileError::FileError(const std::string& operation, const std::string& path, std::error_code error)
    : Error(operation + " '" + path + "': " + error.message(), error.value()) {}

}  // namespace vesk::files
