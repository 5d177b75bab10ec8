#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include <fmt/format.h>

#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/database_file.h"

namespace vesk::data_access {

namespace {

// The first 100 bytes of a plain database file, and the start of its first page's b-tree.
using FileStart = std::array<unsigned char, 108>;

constexpr char kMagic[] = "SQLite format 3";  // 16 bytes with its terminating zero

bool ReadStart(const std::string& path, FileStart& start) {
    std::ifstream file(path, std::ios::binary);
    return static_cast<bool>(file.read(reinterpret_cast<char*>(start.data()), start.size()));
}

bool HasMagic(const FileStart& start) {
    return std::equal(start.begin(), start.begin() + sizeof kMagic, kMagic);
}

// Whether the first page holds a plain b-tree under a wiped header: a keyed file starts with
// random bytes, which are never zero in such numbers.
bool LooksLikeWipedHeader(const FileStart& start) {
    auto isZero = [](unsigned char byte) { return byte == 0; };
    bool zeroStart = std::all_of(start.begin(), start.begin() + 16, isZero);
    auto zeros = std::count_if(start.begin() + 16, start.begin() + 100, isZero);
    bool tablePage = start[100] == 0x0d || start[100] == 0x05;
    return zeroStart || (zeros >= 32 && tablePage);
}

}  // namespace

void RequireReadableHeader(const std::string& path) {
    FileStart start{};
    if (!ReadStart(path, start) || HasMagic(start) || !LooksLikeWipedHeader(start)) {
        return;
    }
    throw DataAccessError(
        fmt::format("Cannot open '{}': the file is damaged, its database header cannot be read",
                    path),
        SQLITE_CORRUPT);
}

// The engine refuses a file shorter than its header's page count; zeros up to a whole page
// and the count of the pages there are make the pages present readable again.
void FitPageCountToLength(const std::string& path) {
    FileStart start{};
    if (!ReadStart(path, start) || !HasMagic(start)) {
        return;
    }
    std::uintmax_t pageSize = start[16] * 256u + start[17];
    pageSize = pageSize == 1 ? 65536 : pageSize;
    if (pageSize < 512) {
        return;
    }
    std::uintmax_t pages = (std::filesystem::file_size(path) + pageSize - 1) / pageSize;
    std::filesystem::resize_file(path, pages * pageSize);
    const char count[4] = {static_cast<char>(pages >> 24), static_cast<char>(pages >> 16),
                           static_cast<char>(pages >> 8), static_cast<char>(pages)};
    std::fstream(path, std::ios::in | std::ios::out | std::ios::binary).seekp(28).write(count, 4);
}

}  // namespace vesk::data_access
