#include "metafile_size.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "byte_view.h"

namespace vesk::picture {

namespace {

constexpr double HimetricPerInch = 2540.0;

// A header whose bounds run backwards (right before left, bottom above top) or enclose
// nothing gives no size: the picture cannot be laid out.
HimetricSize RequireArea(HimetricSize size) {
    if (size.width <= 0 || size.height <= 0) {
        throw PictureError("The picture file is damaged: the metafile header gives no size");
    }
    return size;
}

}  // namespace

HimetricSize ReadWmfSize(const std::vector<std::uint8_t>& bytes) {
    // Placeable header (22 bytes): key, handle, bounding box left/top/right/bottom, units per
    // inch, reserved, checksum. The standard header follows; its size field counts 16-bit words.
    constexpr std::size_t StandardHeader = 22;
    const ByteView view(bytes);
    const int unitsPerInch = view.U16(14);
    const int headerWords = view.U16(StandardHeader + 2);
    if (unitsPerInch == 0 || headerWords != 9) {
        throw PictureError("The picture file is damaged: bad metafile header");
    }
    view.Require(StandardHeader, 2ull * view.U32(StandardHeader + 6));
    const auto toHimetric = [unitsPerInch](int from, int to) {
        return static_cast<int>(std::lround((to - from) * HimetricPerInch / unitsPerInch));
    };
    return RequireArea(
        {toHimetric(view.I16(6), view.I16(10)), toHimetric(view.I16(8), view.I16(12))});
}

HimetricSize ReadEmfSize(const std::vector<std::uint8_t>& bytes) {
    // Header record: type, size, bounds (device units), frame (0.01 mm), signature, version,
    // total bytes of the file, ...
    constexpr std::uint32_t MinimumHeaderSize = 88;
    const ByteView view(bytes);
    if (view.U32(4) < MinimumHeaderSize) {
        throw PictureError("The picture file is damaged: bad metafile header");
    }
    view.Require(0, view.U32(48));
    const auto extent = [&view](std::size_t from, std::size_t to) {
        long long size = static_cast<long long>(view.I32(to)) - view.I32(from);
        return size > INT_MAX ? 0 : static_cast<int>(size);
    };
    return RequireArea({extent(24, 32), extent(28, 36)});
}

}  // namespace vesk::picture
