#pragma once

#include <cstdint>

// The scalar types of the component binary interface. The names are the ones such component
// interfaces have always used, so that a declaration reads the same here as in their
// documentation; the sizes are fixed, whatever the platform's own int and long are.
namespace vesk::component_hosting {

using HRESULT = std::int32_t;  // result code: >= 0 success, < 0 failure
using SCODE = std::int32_t;
using ULONG = std::uint32_t;  // reference counts
using DWORD = std::uint32_t;  // connection cookies, help contexts
using WORD = std::uint16_t;
using UINT = std::uint32_t;
using BOOL = std::int32_t;    // 32-bit truth of the entry points (LockServer): non-zero is true
using LCID = std::uint32_t;   // locale; accepted and ignored
using DISPID = std::int32_t;  // dispatch identifier of a member or event
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;  // Boolean across the interface: true is -1, false is 0
using OLECHAR = char16_t;           // one UTF-16 code unit
using BSTR = OLECHAR*;              // counted text, see text.h

inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

}  // namespace vesk::component_hosting
