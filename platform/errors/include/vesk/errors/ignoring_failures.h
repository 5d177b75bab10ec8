#pragma once

#include <exception>

namespace vesk {

// Runs one step of a routine whose failing steps are skipped (the routine goes on with its
// next step); returns whether the step succeeded.
template <typename Step>
bool IgnoringFailure(Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace vesk
