#pragma once

#include <string>

namespace vesk::data_access {

// The versions of the engines this build runs on, as one line for people to read:
// "SQLCipher 3.4.1 (SQLite 3.x.y), libpq 15.18".
std::string EngineVersions();

}  // namespace vesk::data_access
