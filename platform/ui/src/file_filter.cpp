#include "vesk/ui/file_filter.h"

namespace vesk::ui {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end = text.find(separator); end != std::string::npos;
         start = end + 1, end = text.find(separator, start)) {
        parts.push_back(text.substr(start, end - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

std::vector<FileFilter> ParseFileFilter(const std::string& text) {
    const std::vector<std::string> parts = Split(text, '|');
    std::vector<FileFilter> filters;
    for (std::size_t index = 0; index + 1 < parts.size(); index += 2) {
        FileFilter filter{parts[index], {}};
        for (std::string& pattern : Split(parts[index + 1], ';')) {
            if (!pattern.empty()) {
                filter.patterns.push_back(std::move(pattern));
            }
        }
        filters.push_back(std::move(filter));
    }
    return filters;
}

}  // namespace vesk::ui
