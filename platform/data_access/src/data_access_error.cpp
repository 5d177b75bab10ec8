#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {

DataAccessError AsDataAccessError(const std::exception& error) {
    if (const auto* dataError = dynamic_cast<const DataAccessError*>(&error)) {
        return *dataError;
    }
    if (const auto* ourError = dynamic_cast<const Error*>(&error)) {
        return DataAccessError(ourError->Description(), ourError->EngineCode(),
                               ourError->Statement());
    }
    return DataAccessError(error.what());
}

int SqlStateCode(std::string_view sqlState) {
    if (sqlState.size() != 5) {
        return 0;
    }
    int code = 0;
    for (std::size_t index = 0; index < sqlState.size(); ++index) {
        code |= ((static_cast<unsigned char>(sqlState[index]) - '0') & 0x3F) << (6 * index);
    }
    return code;
}

}  // namespace vesk::data_access
