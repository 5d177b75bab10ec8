#pragma once

#include <cstdint>
#include <type_traits>

namespace vesk::data_access {

// Large values move through Field::GetChunk and Field::AppendChunk in pieces of this many bytes.
inline constexpr std::int64_t kChunkSize = 16384;

// Calls `piece(offset, length)` for the pieces of a value of `size` bytes, in the order every
// chunked transfer takes them: the remainder (size mod kChunkSize) first, then the full pieces.
// A remainder of 0 is a piece of its own only with `emptyFirst` (so that an empty value is
// still appended once, and arrives empty rather than Null). A `piece` that returns bool stops
// the walk by returning false.
template <typename Piece>
void ForEachChunk(std::int64_t size, Piece&& piece, bool emptyFirst = false) {
    auto next = [&](std::int64_t offset, std::int64_t length) {
        if constexpr (std::is_same_v<std::invoke_result_t<Piece&, std::int64_t, std::int64_t>,
                                     bool>) {
            return piece(offset, length);
        } else {
            piece(offset, length);
            return true;
        }
    };
    const std::int64_t rest = size % kChunkSize;
    if ((rest > 0 || emptyFirst) && !next(0, rest)) {
        return;
    }
    for (std::int64_t offset = rest; offset < size; offset += kChunkSize) {
        if (!next(offset, kChunkSize)) {
            return;
        }
    }
}

}  // namespace vesk::data_access
