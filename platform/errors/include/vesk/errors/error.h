#pragma once

#include <stdexcept>
#include <string>

namespace vesk {

// The root of every exception the Vesk libraries and the host throw. Description() says what
// failed and why (what() gives the same text); EngineCode() is the code of the engine or system
// that refused, 0 when there is none; Statement() is the SQL text involved, empty when none.
// Catching Error catches every failure of ours; the derived types say which layer failed.
class Error : public std::runtime_error {
public:
    explicit Error(std::string description, int engineCode = 0, std::string statement = {});
    ~Error() override;
    Error(const Error&) = default;
    Error& operator=(const Error&) = default;

    const std::string& Description() const { return m_description; }
    int EngineCode() const { return m_engineCode; }
    const std::string& Statement() const { return m_statement; }

private:
    std::string m_description;
    int m_engineCode;
    std::string m_statement;
};

}  // namespace vesk
