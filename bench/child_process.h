#pragma once

#include <string>
#include <vector>

namespace vesk::bench {

// What a finished child process used.
struct ChildUsage {
    double seconds = 0;
    long peakKb = 0;  // its peak resident memory, as sampled while it ran
};

// Runs the program `arguments[0]` with the rest as its arguments, its input read from the file
// `input` (none when empty) and its output discarded, and waits for it. Throws when it cannot
// start or exits with another status than 0.
ChildUsage RunChild(const std::vector<std::string>& arguments, const std::string& input = {});

}  // namespace vesk::bench
