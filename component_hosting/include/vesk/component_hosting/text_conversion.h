#pragma once

#include <string>
#include <string_view>

#include "vesk/component_hosting/base_types.h"

// Conversions between the UTF-8 texts of the C++ classes and the UTF-16 texts of the
// component interface. Invalid sequences on either side become U+FFFD.
namespace vesk::component_hosting {

std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

// `text` without leading and trailing white space.
std::string_view TrimmedText(std::string_view text);

// A new BSTR holding `utf8` (the caller frees it); throws std::bad_alloc when memory runs out.
BSTR AllocText(std::string_view utf8);
// The UTF-8 form of a BSTR (null: the empty text), all its characters, including any 0.
std::string TextOf(BSTR text);
// The UTF-8 form of a 0-terminated UTF-16 text (null: the empty text).
std::string TextOfTerminated(const OLECHAR* text);

}  // namespace vesk::component_hosting
