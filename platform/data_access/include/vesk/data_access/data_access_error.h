#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace vesk::data {

// The one exception of the data-access layer. Description() says what failed and why,
// with the engine's own text where there is one; Statement() is the SQL text involved, if any.
class DataAccessError : public std::runtime_error {
public:
    explicit DataAccessError(std::string description, int engineCode = 0,
                             std::string statement = {});

    const std::string& Description() const { return m_description; }
    // The engine's error code, 0 when none: an SQLite result code on the embedded engine, the
    // SQLSTATE packed by SqlStateCode on the server.
    int EngineCode() const { return m_engineCode; }
    const std::string& Statement() const { return m_statement; }

private:
    std::string m_description;
    int m_engineCode;
    std::string m_statement;
};

// The engine code of a server error with this five-character SQLSTATE ("42P01"): six bits a
// character, as the server itself packs it. 0 for a text that is not five characters.
int SqlStateCode(std::string_view sqlState);

}  // namespace vesk::data
