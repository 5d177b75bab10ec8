#include "text_util.h"

#include "vesk/data_access/sql_text.h"

#include <algorithm>
#include <cctype>

namespace vesk::data::detail {

namespace {

// Decodes one UTF-8 code point at `pos` and advances; a malformed byte stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    auto byte = static_cast<unsigned char>(text[pos]);
    int length = byte < 0x80           ? 1
                 : (byte >> 5) == 0x6  ? 2
                 : (byte >> 4) == 0xE  ? 3
                 : (byte >> 3) == 0x1E ? 4
                                       : 1;
    if (pos + length > text.size()) {
        length = 1;
    }
    char32_t code = length == 1 ? byte : byte & (0x7F >> length);
    for (int index = 1; index < length; ++index) {
        auto next = static_cast<unsigned char>(text[pos + index]);
        if ((next & 0xC0) != 0x80) {
            pos += 1;
            return byte;
        }
        code = (code << 6) | (next & 0x3F);
    }
    pos += length;
    return code;
}

// Upper-cases the letters of the common European scripts.
char32_t FoldCase(char32_t code) {
    if (code >= 'a' && code <= 'z') {
        return code - 0x20;
    }
    if (code >= 0xE0 && code <= 0xFE && code != 0xF7) {
        return code - 0x20;
    }
    if (code >= 0x100 && code <= 0x17F && code != 0x130 && code != 0x131 && code != 0x138 &&
        code != 0x149 && code != 0x17F) {
        bool oddUpper = (code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E);
        bool isLower = oddUpper ? (code % 2 == 0) : (code % 2 == 1);
        return isLower ? code - 1 : code;
    }
    if (code >= 0x3B1 && code <= 0x3C9) {
        return code == 0x3C2 ? 0x3A3 : code - 0x20;
    }
    if (code >= 0x430 && code <= 0x44F) {
        return code - 0x20;
    }
    if (code >= 0x450 && code <= 0x45F) {
        return code - 0x50;
    }
    return code;
}

}  // namespace

std::string_view Trim(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string ToUpperAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

std::string ToLowerAscii(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return upper(x) == upper(y); });
}

bool TextEqualsIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t posA = 0;
    std::size_t posB = 0;
    while (posA < a.size() && posB < b.size()) {
        if (FoldCase(NextCodePoint(a, posA)) != FoldCase(NextCodePoint(b, posB))) {
            return false;
        }
    }
    return posA == a.size() && posB == b.size();
}

std::string QuoteLiteral(std::string_view value) {
    return "'" + EscapeSqlText(value) + "'";
}

std::string JoinList(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items) {
        list += (list.empty() ? "" : ", ") + item;
    }
    return list;
}

}  // namespace vesk::data::detail
