#pragma once

#include <string_view>

namespace vesk::files {

// True when the whole of `name` matches `pattern`, in which '*' stands for any run of
// characters (also none) and '?' for exactly one. Letter case counts.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// True when `pattern` holds a '*' or a '?'.
bool HasWildcard(std::string_view pattern);

}  // namespace vesk::files
