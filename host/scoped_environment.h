#pragma once

#include <optional>
#include <string>

namespace vesk::host {

// Sets an environment variable of this process for the life of the object, then puts back the
// value it had (or removes it when it had none). Not for use by several threads at once.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

}  // namespace vesk::host
