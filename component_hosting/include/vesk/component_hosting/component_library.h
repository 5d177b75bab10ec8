#pragma once

#include <string>

#include "vesk/component_hosting/com_ptr.h"
#include "vesk/component_hosting/entry_points.h"

namespace vesk::component_hosting {

// A component library as a host loads it: dlopen'ed with RTLD_LOCAL, so that its copy of the
// components' code and data stays its own (a host that links the components' static
// libraries itself never mixes its objects with the library's), and kept loaded for the rest
// of the process, whatever DllCanUnloadNow says.
class ComponentLibrary {
public:
    // The library at `path`, loaded on first use; later calls for the same file give the same
    // object. Throws ComError (E_FAIL) with the loader's message when the file cannot be
    // loaded or lacks an entry point.
    static ComponentLibrary& Load(const std::string& path);

    ComponentLibrary(const ComponentLibrary&) = delete;
    ComponentLibrary& operator=(const ComponentLibrary&) = delete;

    const std::string& Path() const { return m_path; }

    // The entry points (entry_points.h).
    HRESULT Register() const { return m_register(); }
    HRESULT Unregister() const { return m_unregister(); }
    HRESULT CanUnloadNow() const { return m_canUnloadNow(); }
    const TypeLibraryDescription& Description() const { return *m_describe(); }

    // The class object of `clsid`; throws ComError with the library's result code.
    ComPtr<IClassFactory> ClassObject(const CLSID& clsid) const;
    // The predeclared instance of `clsid`; throws ComError with the library's result code.
    ComPtr<IDispatch> ApplicationObject(const CLSID& clsid) const;
    // The description of class `clsid`; null when the library has no such class.
    const ClassDescription* FindClass(const CLSID& clsid) const;

private:
    ComponentLibrary(std::string path, void* handle);
    template <typename Function>
    Function EntryPoint(const char* name) const;

    std::string m_path;
    void* m_handle;
    DllRegisterServerFunction m_register;
    DllUnregisterServerFunction m_unregister;
    DllGetClassObjectFunction m_getClassObject;
    DllCanUnloadNowFunction m_canUnloadNow;
    DllGetApplicationObjectFunction m_getApplicationObject;
    VeskDescribeTypeLibraryFunction m_describe;
};

}  // namespace vesk::component_hosting
