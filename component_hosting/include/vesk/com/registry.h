#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vesk/com/guid.h"
#include "vesk/com/registry_file.h"

namespace vesk::com {

// A class as the registry records it.
struct ClassRegistration {
    std::string programId;
    CLSID clsid;
    std::string name;
    std::string libraryPath;
    std::string threadingModel;
    std::string typeLibrary;  // the type library's identifier, in text form
};

// The per-user component registry: a RegistryFile at $XDG_DATA_HOME/vesk/components.reg (when
// that is an absolute path; else ~/.local/share/vesk/components.reg). Its sections:
//
//     [ProgID <program identifier>]  CLSID
//     [CLSID <class identifier>]     Name, InprocServer (the library's path), ThreadingModel,
//                                    ProgID, TypeLib
//     [TypeLib <library identifier>] Name, Version ("major.minor"), Description, Path
class Registry {
public:
    // Where the registry of the current user is, read from the environment now.
    static std::string DefaultPath();

    explicit Registry(std::string path = DefaultPath()) : m_path(std::move(path)) {}

    const std::string& Path() const { return m_path; }

    // The registry as it is now; empty when the file does not exist. Throws
    // platform::FileError when it exists but cannot be read.
    RegistryFile Read() const;

    // Reads the registry, lets `change` change it and writes it back by replacing the file in
    // one atomic rename, creating the folder when missing. Another process updating the same
    // registry waits for this one. Throws platform::FileError (the file stays as it was).
    void Update(const std::function<void(RegistryFile&)>& change) const;

    // The class registered under `programId`; nothing when it is not registered.
    std::optional<ClassRegistration> FindProgramId(std::string_view programId) const;
    // Every registered program identifier with its class, in file order.
    std::vector<ClassRegistration> Classes() const;

private:
    std::string m_path;
};

// The section names of the registry.
std::string ProgIdSection(std::string_view programId);
std::string ClassSection(const CLSID& clsid);
std::string TypeLibSection(const Guid& libraryId);

}  // namespace vesk::com
