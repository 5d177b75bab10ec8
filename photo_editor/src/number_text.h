#pragma once

#include <string>

#include <fmt/format.h>

namespace vesk::photo_editor::detail {

// A number as the platform writes a Double by default: up to 15 significant digits, no
// trailing zeros ("250", "312.5").
inline std::string NumberText(double value) {
    return fmt::format("{:.15G}", value);
}

}  // namespace vesk::photo_editor::detail
