#pragma once

#include <string>
#include <system_error>

#include "vesk/errors/error.h"

namespace vesk::files {

// The one exception of the file services. Description() gives the operation, the path involved
// and the system's reason; EngineCode() is the system's error number, 0 when none.
class FileError : public Error {
public:
    explicit FileError(const std::string& description);

    // Builds the description "OPERATION 'PATH': REASON" from the system's error code.
    FileError(const std::string& operation, const std::string& path, std::error_code error);
};

}  // namespace vesk::files
