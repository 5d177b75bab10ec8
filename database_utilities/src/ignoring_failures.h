#pragma once

#include <exception>

namespace vesk::dbutil::detail {

// Runs one step whose failure is ignored (the operation goes on with its next step); returns
// whether it succeeded.
template <typename Step>
bool Ignoring(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vesk::dbutil::detail
