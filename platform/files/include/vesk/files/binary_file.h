#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vesk::files {

// A file opened for binary reading or writing, closed by its destructor. Reads and writes go
// on from the current position. Move-only.
class BinaryFile {
public:
    enum class Mode { Read, Write };

    // Opens `path`. Write creates the file or empties an existing one. Throws FileError.
    BinaryFile(const std::string& path, Mode mode);
    ~BinaryFile();

    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Reads exactly `count` bytes at the current position. Throws FileError when the file ends
    // sooner (the position is then past what was read) or is closed or not open for reading.
    std::vector<std::uint8_t> Read(std::size_t count);

    // Writes all of `bytes` at the current position. Throws FileError on failure.
    void Write(std::span<const std::uint8_t> bytes);

    // Current length of the open file in bytes. Throws FileError when closed.
    std::int64_t Length() const;

    // Closes the file; later calls other than Close fail. Throws FileError when the system
    // reports a failure of the close (data may not have reached the disk).
    void Close();

    bool IsOpen() const { return m_fd >= 0; }
    const std::string& Path() const { return m_path; }

private:
    void RequireOpen(Mode mode) const;

    std::string m_path;
    Mode m_mode;
    int m_fd = -1;
};

}  // namespace vesk::files
