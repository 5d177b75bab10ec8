#pragma once

#include <exception>
#include <string>
#include <string_view>

#include "vesk/errors/error.h"

namespace vesk::data_access {

// The one exception of the data-access layer. Description() says what failed and why, with the
// engine's own text where there is one; Statement() is the SQL text involved, if any.
// EngineCode() is an SQLite result code on the embedded engine, the SQLSTATE packed by
// SqlStateCode on the server, 0 when none.
class DataAccessError : public Error {
public:
    using Error::Error;
};

// `error` as a DataAccessError: a copy of it when it is one, else one with its text (engine
// code and statement as the root gives them, when it is an Error).
DataAccessError AsDataAccessError(const std::exception& error);

// The engine code of a server error with this five-character SQLSTATE ("42P01"): six bits a
// character, as the server itself packs it. 0 for a text that is not five characters.
int SqlStateCode(std::string_view sqlState);

}  // namespace vesk::data_access
