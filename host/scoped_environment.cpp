#include "scoped_environment.h"

#include <stdlib.h>

namespace vesk::host {

ScopedEnvironment::ScopedEnvironment(std::string name, const std::string& value)
    : m_name(std::move(name)) {
    if (const char* previous = ::getenv(m_name.c_str())) {
        m_previous = previous;
    }
    ::setenv(m_name.c_str(), value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_previous) {
        ::setenv(m_name.c_str(), m_previous->c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

}  // namespace vesk::host
