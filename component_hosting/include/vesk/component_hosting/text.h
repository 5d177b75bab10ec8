#pragma once

#include <cstdlib>
#include <cstring>

#include "vesk/component_hosting/base_types.h"

// Counted UTF-16 texts (BSTR). A BSTR points at the first character of a block allocated with
// std::malloc that starts 4 bytes earlier with the text's length in bytes (32-bit, without the
// terminator) and ends with a 0 character after the text. A null BSTR is the empty text.
//
// The functions are inline and use malloc/free only, so a text allocated by one module (a
// component library, a host) may be freed by any other. Whoever receives a BSTR as a result
// or an out value owns it and frees it with SysFreeString.
namespace vesk::component_hosting {

// A new text of `length` characters copied from `text`, or zero-filled when `text` is null.
// Null when memory runs out.
inline BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    constexpr UINT kLargest = (0xFFFFFFFFu - sizeof(std::uint32_t)) / sizeof(OLECHAR) - 1;
    if (length > kLargest) {
        return nullptr;
    }
    const std::size_t bytes = static_cast<std::size_t>(length) * sizeof(OLECHAR);
    void* block = std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR));
    if (block == nullptr) {
        return nullptr;
    }
    const auto prefix = static_cast<std::uint32_t>(bytes);
    std::memcpy(block, &prefix, sizeof prefix);
    auto* chars = reinterpret_cast<OLECHAR*>(static_cast<char*>(block) + sizeof(std::uint32_t));
    if (text != nullptr) {
        std::memcpy(chars, text, bytes);
    } else {
        std::memset(chars, 0, bytes);
    }
    chars[length] = 0;
    return chars;
}

// A copy of the 0-terminated `text`; null for a null `text`.
inline BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    UINT length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return SysAllocStringLen(text, length);
}

// Frees a text made by any of the allocation functions; null is allowed.
inline void SysFreeString(BSTR text) {
    if (text != nullptr) {
        std::free(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
    }
}

// Length in bytes (from the prefix); 0 for null.
inline UINT SysStringByteLen(BSTR text) {
    if (text == nullptr) {
        return 0;
    }
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof(std::uint32_t), sizeof bytes);
    return bytes;
}

// Length in characters; 0 for null. A text may hold 0 characters inside it.
inline UINT SysStringLen(BSTR text) {
    return SysStringByteLen(text) / sizeof(OLECHAR);
}

}  // namespace vesk::component_hosting
