#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vesk::component_hosting {

// A 16-byte identifier of a library, class or interface, laid out as such identifiers always
// are: a 32-bit, two 16-bit and eight single bytes, in the machine's byte order.
struct Guid {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    friend bool operator==(const Guid&, const Guid&) = default;
};

using IID = Guid;
using CLSID = Guid;
using REFIID = const Guid&;
using REFCLSID = const Guid&;

// The text form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hexadecimal; the fourth
// group is Data4[0..1], the fifth Data4[2..7].
std::string ToString(const Guid& guid);

// Reads the text form, with or without the braces, hexadecimal digits in either case.
// Nothing when the text is not exactly that.
std::optional<Guid> ParseGuid(std::string_view text);

}  // namespace vesk::component_hosting
