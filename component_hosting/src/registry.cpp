#include "vesk/component_hosting/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string_view>
#include <system_error>

#include "vesk/files/binary_file.h"
#include "vesk/files/file_error.h"
#include "vesk/files/file_system.h"
#include "vesk/files/temp_names.h"

namespace vesk::component_hosting {

namespace fs = std::filesystem;

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Holds an exclusive lock on a file beside the registry while the registry is rewritten.
class RegistryLock {
public:
    explicit RegistryLock(const std::string& registryPath) {
        const std::string path = registryPath + ".lock";
        m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0) {
            throw files::FileError("Cannot open the registry lock", path, LastError());
        }
        while (::flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                const std::error_code error = LastError();
                ::close(m_fd);
                throw files::FileError("Cannot lock the registry", path, error);
            }
        }
    }
    ~RegistryLock() { ::close(m_fd); }  // closing drops the lock
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

private:
    int m_fd = -1;
};

void WriteReplacing(const std::string& path, const std::string& text) {
    const std::string folder = fs::path(path).parent_path().string();
    const std::string temporary =
        files::CreateTempFile(folder, fs::path(path).filename().string() + ".");
    try {
        files::BinaryFile file(temporary, files::BinaryFile::Mode::Write);
        file.Write({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()});
        file.Close();
        files::RenameFile(temporary, path);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

// The registry file at `path`; empty when there is none.
RegistryFile ReadRegistry(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (fs::exists(path)) {
            throw files::FileError("Cannot read the registry", path, LastError());
        }
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    return RegistryFile::Parse(text.str());
}

ClassRegistration RegistrationOf(const RegistryFile& file, const std::string& programId) {
    ClassRegistration registration;
    registration.programId = programId;
    const std::string classId = file.Value(ProgIdSection(programId), "CLSID");
    registration.clsid = ParseGuid(classId).value_or(Guid{});
    const std::string section = "CLSID " + classId;
    registration.name = file.Value(section, "Name");
    registration.libraryPath = file.Value(section, "InprocServer");
    registration.threadingModel = file.Value(section, "ThreadingModel");
    registration.typeLibrary = file.Value(section, "TypeLib");
    return registration;
}

}  // namespace

std::string Registry::DefaultPath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    fs::path folder;
    if (dataHome != nullptr && *dataHome == '/') {
        folder = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        folder = fs::path(home != nullptr ? home : "") / ".local" / "share";
    }
    return (folder / "vesk" / "components.reg").string();
}

std::string Registry::SystemPath() {
    const char* configDirs = std::getenv("XDG_CONFIG_DIRS");
    const std::string_view first =
        configDirs == nullptr
            ? std::string_view()
            : std::string_view(configDirs).substr(0, std::string_view(configDirs).find(':'));
    const fs::path folder = first.starts_with('/') ? fs::path(first) : fs::path("/etc/xdg");
    return (folder / "vesk" / "components.reg").string();
}

std::string Registry::RegistrationPath() {
    const char* systemWide = std::getenv("VESK_REGISTER_SYSTEM_WIDE");
    return systemWide != nullptr && std::string_view(systemWide) == "1" ? SystemPath()
                                                                        : DefaultPath();
}

std::vector<std::string> Registry::Paths() const {
    std::vector<std::string> paths{m_path};
    paths.insert(paths.end(), m_readAfter.begin(), m_readAfter.end());
    return paths;
}

RegistryFile Registry::Read() const {
    return ReadRegistry(m_path);
}

void Registry::Update(const std::function<void(RegistryFile&)>& change) const {
    std::error_code error;
    fs::create_directories(fs::path(m_path).parent_path(), error);
    if (error) {
        throw files::FileError("Cannot create the registry folder", m_path, error);
    }
    RegistryLock lock(m_path);
    RegistryFile file = Read();
    change(file);
    WriteReplacing(m_path, file.Text());
}

std::optional<ClassRegistration> Registry::FindProgramId(std::string_view programId) const {
    for (const std::string& path : Paths()) {
        const RegistryFile file = ReadRegistry(path);
        if (file.Has(ProgIdSection(programId))) {
            return RegistrationOf(file, std::string(programId));
        }
    }
    return std::nullopt;
}

std::vector<ClassRegistration> Registry::Classes() const {
    std::vector<ClassRegistration> classes;
    std::set<std::string> listed;
    for (const std::string& path : Paths()) {
        const RegistryFile file = ReadRegistry(path);
        for (const std::string& section : file.Sections("ProgID")) {
            const std::string programId = section.substr(std::string_view("ProgID ").size());
            if (listed.insert(programId).second) {
                classes.push_back(RegistrationOf(file, programId));
            }
        }
    }
    return classes;
}

std::string ProgIdSection(std::string_view programId) {
    return "ProgID " + std::string(programId);
}

std::string ClassSection(const CLSID& clsid) {
    return "CLSID " + ToString(clsid);
}

std::string TypeLibSection(const Guid& libraryId) {
    return "TypeLib " + ToString(libraryId);
}

}  // namespace vesk::component_hosting
