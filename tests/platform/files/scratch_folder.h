#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::test {

// A fresh, empty folder under the system's temporary folder, removed with its content when the
// object goes away.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a scratch folder");
        }
        m_path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Path(std::string_view name) const { return m_path + "/" + std::string(name); }

    // Writes `contents` to the file `name` in the folder and returns its path.
    std::string Write(std::string_view name, std::string_view contents) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary).write(contents.data(), contents.size());
        return path;
    }
    std::string Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
        return Write(name,
                     std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }

private:
    std::string m_path;
};

}  // namespace vesk::test
