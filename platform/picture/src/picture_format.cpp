#include "picture_format.h"

#include <algorithm>
#include <string_view>

namespace vesk::picture {

namespace {

using namespace std::string_view_literals;

bool HasAt(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::string_view magic) {
    return bytes.size() >= offset + magic.size() &&
           std::equal(magic.begin(), magic.end(), bytes.begin() + static_cast<long>(offset),
                      [](char expected, std::uint8_t actual) {
                          return static_cast<std::uint8_t>(expected) == actual;
                      });
}

}  // namespace

PictureFormat DetectFormat(const std::vector<std::uint8_t>& bytes) {
    struct Signature {
        PictureFormat format;
        std::string_view magic;
    };
    static constexpr Signature signatures[] = {
        {PictureFormat::Bmp, "BM"sv},
        {PictureFormat::Ico, "\0\0\1\0"sv},
        {PictureFormat::Cur, "\0\0\2\0"sv},
        {PictureFormat::Gif, "GIF8"sv},
        {PictureFormat::Jpeg, "\xFF\xD8\xFF"sv},
        {PictureFormat::Png, "\x89PNG\r\n\x1A\n"sv},
        {PictureFormat::Wmf, "\xD7\xCD\xC6\x9A"sv},
    };
    for (const Signature& signature : signatures) {
        if (HasAt(bytes, 0, signature.magic)) {
            return signature.format;
        }
    }
    // An enhanced metafile opens with its header record (type 1) that carries " EMF" at 40.
    if (HasAt(bytes, 0, "\1\0\0\0"sv) && HasAt(bytes, 40, " EMF"sv)) {
        return PictureFormat::Emf;
    }
    return PictureFormat::Unknown;
}

}  // namespace vesk::picture
