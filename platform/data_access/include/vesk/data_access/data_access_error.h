#pragma once

#include <stdexcept>
#include <string>

namespace vesk::data {

// The one exception of the data-access layer. Description() says what failed and why,
// with the engine's own text where there is one; Statement() is the SQL text involved, if any.
class DataAccessError : public std::runtime_error {
public:
    explicit DataAccessError(std::string description, int engineCode = 0,
                             std::string statement = {});

    const std::string& Description() const { return m_description; }
    // The engine's error code (an SQLite result code on the embedded engine), 0 when none.
    int EngineCode() const { return m_engineCode; }
    const std::string& Statement() const { return m_statement; }

private:
    std::string m_description;
    int m_engineCode;
    std::string m_statement;
};

}  // namespace vesk::data
