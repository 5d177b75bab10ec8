#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vesk/picture/picture_error.h"

namespace vesk::picture {

// The failure of a read past the end of a picture file.
[[noreturn]] inline void ThrowTruncated() {
    throw PictureError("The picture file is truncated");
}

// Bounds-checked reads of the fields of a picture file. A read past the end means the file
// was cut short, so it throws PictureError saying so.
class ByteView {
public:
    explicit ByteView(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes) {}

    std::size_t Size() const { return m_bytes.size(); }

    // Throws unless `count` bytes from `offset` lie inside the data.
    void Require(std::uint64_t offset, std::uint64_t count) const {
        if (offset > m_bytes.size() || count > m_bytes.size() - offset) {
            ThrowTruncated();
        }
    }

    std::uint8_t U8(std::size_t offset) const {
        Require(offset, 1);
        return m_bytes[offset];
    }
    // Little-endian fields, as in BMP, ICO, GIF and metafiles.
    std::uint16_t U16(std::size_t offset) const {
        return static_cast<std::uint16_t>(U8(offset) | U8(offset + 1) << 8);
    }
    std::uint32_t U32(std::size_t offset) const {
        return U16(offset) | static_cast<std::uint32_t>(U16(offset + 2)) << 16;
    }
    std::int16_t I16(std::size_t offset) const { return static_cast<std::int16_t>(U16(offset)); }
    std::int32_t I32(std::size_t offset) const { return static_cast<std::int32_t>(U32(offset)); }
    // Big-endian fields, as in JPEG and PNG.
    std::uint16_t U16BigEndian(std::size_t offset) const {
        return static_cast<std::uint16_t>(U8(offset) << 8 | U8(offset + 1));
    }
    std::uint32_t U32BigEndian(std::size_t offset) const {
        return static_cast<std::uint32_t>(U16BigEndian(offset)) << 16 | U16BigEndian(offset + 2);
    }

private:
    const std::vector<std::uint8_t>& m_bytes;
};

}  // namespace vesk::picture
