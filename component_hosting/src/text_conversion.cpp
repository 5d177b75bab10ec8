#include "vesk/component_hosting/text_conversion.h"

#include <cctype>
#include <new>

#include "vesk/component_hosting/text.h"

namespace vesk::component_hosting {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at `text[index]`, advancing `index` past it. A malformed
// sequence (bad lead, missing continuation, overlong form, surrogate, beyond U+10FFFF) yields
// U+FFFD and moves on by one byte.
char32_t DecodeUtf8(std::string_view text, std::size_t& index) {
    const auto lead = static_cast<unsigned char>(text[index]);
    int length = lead < 0x80    ? 1
                 : lead >= 0xF8 ? 0
                 : lead >= 0xF0 ? 4
                 : lead >= 0xE0 ? 3
                 : lead >= 0xC0 ? 2
                                : 0;
    if (length == 0 || index + static_cast<std::size_t>(length) > text.size()) {
        ++index;
        return kReplacement;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int byte_idx = 1; byte_idx < length; ++byte_idx) {
        const auto byte = static_cast<unsigned char>(text[index + byte_idx]);
        if (!IsContinuation(byte)) {
            ++index;
            return kReplacement;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++index;
        return kReplacement;
    }
    index += static_cast<std::size_t>(length);
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t index = 0; index < utf8.size();) {
        const char32_t code = DecodeUtf8(utf8, index);
        if (code < 0x10000) {
            out += static_cast<char16_t>(code);
        } else {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t index = 0; index < utf16.size(); ++index) {
        const char16_t unit = utf16[index];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && index + 1 < utf16.size() && utf16[index + 1] >= 0xDC00 &&
            utf16[index + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) +
                                (char32_t(utf16[index + 1]) - 0xDC00));
            ++index;
        } else {
            AppendUtf8(out, high || low ? kReplacement : unit);
        }
    }
    return out;
}

std::string_view TrimmedText(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

BSTR AllocText(std::string_view utf8) {
    const std::u16string utf16 = ToUtf16(utf8);
    BSTR text = SysAllocStringLen(utf16.data(), static_cast<UINT>(utf16.size()));
    if (text == nullptr) {
        throw std::bad_alloc();
    }
    return text;
}

std::string TextOf(BSTR text) {
    return ToUtf8(std::u16string_view(text == nullptr ? u"" : text, SysStringLen(text)));
}

std::string TextOfTerminated(const OLECHAR* text) {
    return ToUtf8(text == nullptr ? std::u16string_view() : std::u16string_view(text));
}

}  // namespace vesk::component_hosting
