#include "vesk/errors/error.h"

#include <utility>

namespace vesk {

Error::Error(std::string description, int engineCode, std::string statement)
    : std::runtime_error(description),
      m_description(std::move(description)),
      m_engineCode(engineCode),
      m_statement(std::move(statement)) {}

// Defined here so that the type information lives in one library and an Error thrown in one
// component library is caught as one in another.
Error::~Error() = default;

}  // namespace vesk
