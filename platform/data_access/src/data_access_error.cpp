#include "vesk/data_access/data_access_error.h"

namespace vesk::data {

DataAccessError::DataAccessError(std::string description, int engineCode, std::string statement)
    : std::runtime_error(description),
      m_description(std::move(description)),
      m_engineCode(engineCode),
      m_statement(std::move(statement)) {}

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

}  // namespace vesk::data
