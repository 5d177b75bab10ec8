#pragma once

#include <cstddef>

namespace vesk::data_access {

// How one of several values compares with a column of a table (Recordset::MatchValues): by
// the engine's own comparison, as a statement comparing the column with that value would.
struct ValueMatch {
    bool held = false;           // some row of the table holds a value equal to it
    std::size_t firstEqual = 0;  // the first of the values equal to it; its own position if none

    friend bool operator==(const ValueMatch&, const ValueMatch&) = default;
};

}  // namespace vesk::data_access
