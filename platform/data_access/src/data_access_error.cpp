#include "vesk/data_access/data_access_error.h"

namespace vesk::data {

DataAccessError::DataAccessError(std::string description, int engineCode, std::string statement)
    : std::runtime_error(description),
      m_description(std::move(description)),
      m_engineCode(engineCode),
      m_statement(std::move(statement)) {}

}  // namespace vesk::data
