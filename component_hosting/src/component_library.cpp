#include "vesk/component_hosting/component_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "vesk/component_hosting/com_error.h"

namespace vesk::component_hosting {

ComponentLibrary& ComponentLibrary::Load(const std::string& path) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<ComponentLibrary>> loaded;
    std::error_code error;
    const std::string key = std::filesystem::weakly_canonical(path, error).string();
    std::lock_guard lock(mutex);
    std::unique_ptr<ComponentLibrary>& library = loaded[error ? path : key];
    if (!library) {
        void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            throw ComError(E_FAIL, "Cannot load the component library " + path + ": " + dlerror());
        }
        library.reset(new ComponentLibrary(path, handle));
    }
    return *library;
}

ComponentLibrary::ComponentLibrary(std::string path, void* handle)
    : m_path(std::move(path)),
      m_handle(handle),
      m_register(EntryPoint<DllRegisterServerFunction>("DllRegisterServer")),
      m_unregister(EntryPoint<DllUnregisterServerFunction>("DllUnregisterServer")),
      m_getClassObject(EntryPoint<DllGetClassObjectFunction>("DllGetClassObject")),
      m_canUnloadNow(EntryPoint<DllCanUnloadNowFunction>("DllCanUnloadNow")),
      m_getApplicationObject(
          EntryPoint<DllGetApplicationObjectFunction>("DllGetApplicationObject")),
      m_describe(EntryPoint<VeskDescribeTypeLibraryFunction>("VeskDescribeTypeLibrary")) {}

template <typename Function>
Function ComponentLibrary::EntryPoint(const char* name) const {
    void* symbol = dlsym(m_handle, name);
    if (symbol == nullptr) {
        throw ComError(E_FAIL, m_path + " is no component library: it lacks " + name);
    }
    return reinterpret_cast<Function>(symbol);
}

ComPtr<IClassFactory> ComponentLibrary::ClassObject(const CLSID& clsid) const {
    ComPtr<IClassFactory> factory;
    ThrowIfFailed(
        m_getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Receive())),
        "The class object of " + ToString(clsid) + " in " + m_path);
    return factory;
}

ComPtr<IDispatch> ComponentLibrary::ApplicationObject(const CLSID& clsid) const {
    ComPtr<IDispatch> object;
    ThrowIfFailed(
        m_getApplicationObject(clsid, IID_IDispatch, reinterpret_cast<void**>(object.Receive())),
        "The application object of " + ToString(clsid) + " in " + m_path);
    return object;
}

const ClassDescription* ComponentLibrary::FindClass(const CLSID& clsid) const {
    const TypeLibraryDescription& library = Description();
    for (std::uint32_t class_idx = 0; class_idx < library.classCount; ++class_idx) {
        if (library.classes[class_idx].clsid == clsid) {
            return &library.classes[class_idx];
        }
    }
    return nullptr;
}

}  // namespace vesk::component_hosting
