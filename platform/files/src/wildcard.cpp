#include "wildcard.h"

namespace vesk::files {

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
    // Greedy scan with one backtrack point: the last '*' seen and the name position it covers
    // up to. Linear in practice and never recursive.
    std::size_t nameIdx = 0;
    std::size_t patternIdx = 0;
    std::size_t starIdx = std::string_view::npos;
    std::size_t starNameIdx = 0;
    while (nameIdx < name.size()) {
        if (patternIdx < pattern.size() &&
            (pattern[patternIdx] == '?' || pattern[patternIdx] == name[nameIdx])) {
            ++nameIdx;
            ++patternIdx;
        } else if (patternIdx < pattern.size() && pattern[patternIdx] == '*') {
            starIdx = patternIdx++;
            starNameIdx = nameIdx;
        } else if (starIdx != std::string_view::npos) {
            patternIdx = starIdx + 1;
            nameIdx = ++starNameIdx;
        } else {
            return false;
        }
    }
    while (patternIdx < pattern.size() && pattern[patternIdx] == '*') {
        ++patternIdx;
    }
    return patternIdx == pattern.size();
}

bool HasWildcard(std::string_view pattern) {
    return pattern.find_first_of("*?") != std::string_view::npos;
}

}  // namespace vesk::files
