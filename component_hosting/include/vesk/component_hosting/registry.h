#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vesk/component_hosting/guid.h"
#include "vesk/component_hosting/registry_file.h"

namespace vesk::component_hosting {

// A class as the registry records it.
struct ClassRegistration {
    std::string programId;
    CLSID clsid;
    std::string name;
    std::string libraryPath;
    std::string threadingModel;
    std::string typeLibrary;  // the type library's identifier, in text form
};

// The component registries: the user's, a RegistryFile at $XDG_DATA_HOME/vesk/components.reg
// (when that is an absolute path; else ~/.local/share/vesk/components.reg), and the system-wide
// one, vesk/components.reg in the first folder of $XDG_CONFIG_DIRS (else /etc/xdg), read after
// the user's. A Registry object writes one of them and reads one or both. Their sections:
//
//     [ProgID <program identifier>]  CLSID
//     [CLSID <class identifier>]     Name, InprocServer (the library's path), ThreadingModel,
//                                    ProgID, TypeLib
//     [TypeLib <library identifier>] Name, Version ("major.minor"), Description, Path
class Registry {
public:
    // Where the registry of the current user is, read from the environment now.
    static std::string DefaultPath();
    // Where the system-wide registry is, read from the environment now.
    static std::string SystemPath();
    // The registry that a library's registration entry points write: the system-wide one when
    // the environment variable VESK_REGISTER_SYSTEM_WIDE is "1", else the user's.
    static std::string RegistrationPath();

    // The user's registry (written by Update), then the system-wide one.
    Registry() : Registry(DefaultPath(), {SystemPath()}) {}
    // The registry at `path` (written by Update), then the read-only ones of `readAfter`.
    explicit Registry(std::string path, std::vector<std::string> readAfter = {})
        : m_path(std::move(path)), m_readAfter(std::move(readAfter)) {}

    // The registry that Update writes and lookups read first.
    const std::string& Path() const { return m_path; }
    // Every registry that lookups read, in their order.
    std::vector<std::string> Paths() const;

    // The registry at Path() as it is now; empty when the file does not exist. Throws
    // files::FileError when it exists but cannot be read.
    RegistryFile Read() const;

    // Reads the registry, lets `change` change it and writes it back by replacing the file in
    // one atomic rename, creating the folder when missing. Another process updating the same
    // registry waits for this one. Throws files::FileError (the file stays as it was).
    void Update(const std::function<void(RegistryFile&)>& change) const;

    // The class registered under `programId` in the first registry that has it; nothing when
    // none has.
    std::optional<ClassRegistration> FindProgramId(std::string_view programId) const;
    // Every registered program identifier with its class, in file order, registry by registry;
    // an identifier that an earlier registry has is left out.
    std::vector<ClassRegistration> Classes() const;

private:
    std::string m_path;
    std::vector<std::string> m_readAfter;
};

// The section names of the registry.
std::string ProgIdSection(std::string_view programId);
std::string ClassSection(const CLSID& clsid);
std::string TypeLibSection(const Guid& libraryId);

}  // namespace vesk::component_hosting
