#include "vesk/component_hosting/guid.h"

#include <fmt/format.h>

#include <array>
#include <cctype>

namespace vesk::component_hosting {

namespace {

// The hexadecimal digits of each of the five groups, in order.
constexpr std::array<std::size_t, 5> kGroupDigits = {8, 4, 4, 4, 12};

std::optional<std::uint64_t> ParseHex(std::string_view digits) {
    std::uint64_t value = 0;
    for (char digit : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(digit))) {
            return std::nullopt;
        }
        const int nibble = std::isdigit(static_cast<unsigned char>(digit))
                               ? digit - '0'
                               : std::toupper(static_cast<unsigned char>(digit)) - 'A' + 10;
        value = value * 16 + static_cast<std::uint64_t>(nibble);
    }
    return value;
}

// The five groups of "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" as numbers.
std::optional<std::array<std::uint64_t, 5>> ParseGroups(std::string_view text) {
    std::array<std::uint64_t, 5> groups{};
    for (std::size_t group_idx = 0; group_idx < kGroupDigits.size(); ++group_idx) {
        const std::size_t digits = kGroupDigits[group_idx];
        if (text.size() < digits) {
            return std::nullopt;
        }
        std::optional<std::uint64_t> value = ParseHex(text.substr(0, digits));
        if (!value) {
            return std::nullopt;
        }
        groups[group_idx] = *value;
        text.remove_prefix(digits);
        const bool last = group_idx + 1 == kGroupDigits.size();
        if (!last && (text.empty() || text.front() != '-')) {
            return std::nullopt;
        }
        if (!last) {
            text.remove_prefix(1);
        }
    }
    if (!text.empty()) {
        return std::nullopt;
    }
    return groups;
}

}  // namespace

std::string ToString(const Guid& guid) {
    return fmt::format("{{{:08X}-{:04X}-{:04X}-{:02X}{:02X}-{:02X}{:02X}{:02X}{:02X}{:02X}{:02X}}}",
                       guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                       guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6],
                       guid.Data4[7]);
}

std::optional<Guid> ParseGuid(std::string_view text) {
    if (text.size() >= 2 && text.front() == '{' && text.back() == '}') {
        text = text.substr(1, text.size() - 2);
    }
    std::optional<std::array<std::uint64_t, 5>> groups = ParseGroups(text);
    if (!groups) {
        return std::nullopt;
    }
    Guid guid;
    guid.Data1 = static_cast<std::uint32_t>((*groups)[0]);
    guid.Data2 = static_cast<std::uint16_t>((*groups)[1]);
    guid.Data3 = static_cast<std::uint16_t>((*groups)[2]);
    guid.Data4[0] = static_cast<std::uint8_t>((*groups)[3] >> 8);
    guid.Data4[1] = static_cast<std::uint8_t>((*groups)[3]);
    for (int byte_idx = 0; byte_idx < 6; ++byte_idx) {
        guid.Data4[2 + byte_idx] = static_cast<std::uint8_t>((*groups)[4] >> (40 - 8 * byte_idx));
    }
    return guid;
}

}  // namespace vesk::component_hosting
