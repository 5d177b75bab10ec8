#pragma once

#include <string>
#include <vector>

namespace vesk::ui {

// One choice of an open-file dialog's filter list.
struct FileFilter {
    std::string label;
    std::vector<std::string> patterns;

    bool operator==(const FileFilter&) const = default;
};

// Splits a filter text "label|pattern|label|pattern" into its choices; one pattern part may
// hold several patterns separated by ';'. A last label without a pattern is dropped.
std::vector<FileFilter> ParseFileFilter(const std::string& text);

}  // namespace vesk::ui
