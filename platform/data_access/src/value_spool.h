#pragma once

#include <cstdint>
#include <span>

#include "vesk/data_access/variant.h"

namespace vesk::data_access::detail {

// Gathers the bytes of a value built by AppendChunk. Up to `memoryLimit` bytes stay in
// memory; beyond that everything moves to an unlinked temporary file, so a value of any size
// costs little memory.
class ValueSpool {
public:
    static constexpr std::size_t kDefaultMemoryLimit = 64 * 1024;

    explicit ValueSpool(std::size_t memoryLimit = kDefaultMemoryLimit);
    ~ValueSpool();
    ValueSpool(const ValueSpool&) = delete;
    ValueSpool& operator=(const ValueSpool&) = delete;

    // Appends bytes. Strong guarantee: when the temporary file cannot take them, the spool
    // is as before and DataAccessError is thrown.
    void Append(std::span<const std::uint8_t> bytes);
    std::int64_t Size() const { return m_size; }
    // Copies up to out.size() bytes from `offset`; returns how many were copied.
    std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) const;
    // The whole value; for values small enough to hold in memory.
    Bytes ReadAll() const;

private:
    void MoveToFile();
    void WriteToFile(std::span<const std::uint8_t> bytes);

    std::size_t m_memoryLimit;
    Bytes m_memory;
    int m_fd = -1;
    std::int64_t m_size = 0;
};

}  // namespace vesk::data_access::detail
