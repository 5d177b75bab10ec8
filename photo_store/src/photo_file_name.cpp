#include "photo_file_name.h"

#include <cctype>

#include <fmt/format.h>

namespace vesk::photo_store {

namespace {

bool StartsEscape(std::string_view text, std::size_t pos) {
    return pos + 2 < text.size() && text[pos] == '%' &&
           std::isxdigit(static_cast<unsigned char>(text[pos + 1])) &&
           std::isxdigit(static_cast<unsigned char>(text[pos + 2]));
}

}  // namespace

std::string EncodeFileName(std::string_view text) {
    std::string encoded;
    encoded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c == '/' || c == '\0' || StartsEscape(text, pos)) {
            encoded += fmt::format("%{:02X}", static_cast<unsigned char>(c));
        } else {
            encoded += c;
        }
    }
    return encoded;
}

std::string PhotoFileBaseName(std::string_view code, std::string_view description,
                              std::string_view group) {
    return EncodeFileName(std::string(code) + "_" + std::string(description) + "_" +
                          std::string(group));
}

}  // namespace vesk::photo_store
