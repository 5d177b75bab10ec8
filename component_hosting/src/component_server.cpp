#include "component_server.h"

#include <map>
#include <mutex>
#include <vector>

#include <fmt/format.h>

#include "class_factory.h"
#include "module_usage.h"
#include "native_object.h"
#include "vesk/component_hosting/registry.h"
#include "vesk/files/file_system.h"

namespace vesk::component_hosting {

namespace {

const ClassDefinition* FindClass(const ComponentDefinition& component, REFCLSID clsid) {
    for (const ClassDefinition& definition : component.classes) {
        if (definition.clsid == clsid) {
            return &definition;
        }
    }
    return nullptr;
}

// The plain type description of the library, made once.
struct LibraryDescription {
    std::vector<ClassDescription> classes;
    TypeLibraryDescription library{};
};

LibraryDescription Describe(const ComponentDefinition& component) {
    LibraryDescription described;
    for (const ClassDefinition& definition : component.classes) {
        described.classes.push_back(
            {definition.name, definition.programId, definition.clsid,
             CLASSFLAG_CREATABLE | (definition.applicationObject ? CLASSFLAG_APPOBJECT : 0u),
             &definition.defaultInterface().Description(),
             definition.eventInterface != nullptr ? &definition.eventInterface().Description()
                                                  : nullptr});
    }
    described.library = {
        component.typeLibraryName, component.libraryId,
        component.majorVersion,    component.minorVersion,
        component.description,     static_cast<std::uint32_t>(described.classes.size()),
        described.classes.data()};
    return described;
}

// The application object of `definition`, made on first use. The library keeps it for the
// whole process: it is never released (so it needs no code at exit), and its table is never
// destroyed (so it stays reachable to the end).
IUnknown* ApplicationObject(const ClassDefinition& definition) {
    static std::mutex mutex;
    static auto& instances = *new std::map<const ClassDefinition*, IUnknown*>();
    std::lock_guard lock(mutex);
    IUnknown*& instance = instances[&definition];
    if (instance == nullptr) {
        ComPtr<IDispatch> created = definition.create();
        if (ComPtr<INativeObject> native = created.As<INativeObject>(IID_INativeObject)) {
            native->BelongToLibrary();
        }
        instance = created.Detach();
    }
    return instance;
}

}  // namespace

void AddComponentEntries(RegistryFile& file, const ComponentDefinition& component,
                         const std::string& libraryPath) {
    const std::string libraryId = ToString(component.libraryId);
    for (const ClassDefinition& definition : component.classes) {
        file.SetSection(ProgIdSection(definition.programId),
                        {{"CLSID", ToString(definition.clsid)}});
        file.SetSection(ClassSection(definition.clsid), {{"Name", definition.name},
                                                         {"InprocServer", libraryPath},
                                                         {"ThreadingModel", "Apartment"},
                                                         {"ProgID", definition.programId},
                                                         {"TypeLib", libraryId}});
    }
    file.SetSection(
        TypeLibSection(component.libraryId),
        {{"Name", component.typeLibraryName},
         {"Version", fmt::format("{}.{}", component.majorVersion, component.minorVersion)},
         {"Description", component.description},
         {"Path", libraryPath}});
}

void RemoveComponentEntries(RegistryFile& file, const ComponentDefinition& component) {
    for (const ClassDefinition& definition : component.classes) {
        const std::string programId = ProgIdSection(definition.programId);
        if (file.Value(programId, "CLSID") == ToString(definition.clsid)) {
            file.RemoveSection(programId);
        }
        file.RemoveSection(ClassSection(definition.clsid));
    }
    file.RemoveSection(TypeLibSection(component.libraryId));
}

HRESULT RegisterComponent(const ComponentDefinition& component, const void* addressInLibrary) {
    try {
        const std::string libraryPath = files::LibraryFile(addressInLibrary);
        Registry(Registry::RegistrationPath()).Update([&](RegistryFile& file) {
            AddComponentEntries(file, component, libraryPath);
        });
        return S_OK;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

HRESULT UnregisterComponent(const ComponentDefinition& component) {
    try {
        Registry(Registry::RegistrationPath()).Update([&](RegistryFile& file) {
            RemoveComponentEntries(file, component);
        });
        return S_OK;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

HRESULT GetClassObject(const ComponentDefinition& component, REFCLSID clsid, REFIID iid,
                       void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    const ClassDefinition* definition = FindClass(component, clsid);
    if (definition == nullptr) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    try {
        return ClassFactory::Make(definition->create)->QueryInterface(iid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT CanUnloadNow() {
    return ModuleUsage::InUse() ? S_FALSE : S_OK;
}

HRESULT GetApplicationObject(const ComponentDefinition& component, REFCLSID clsid, REFIID iid,
                             void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    const ClassDefinition* definition = FindClass(component, clsid);
    if (definition == nullptr || !definition->applicationObject) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    try {
        return ApplicationObject(*definition)->QueryInterface(iid, object);
    } catch (...) {
        return E_FAIL;
    }
}

const TypeLibraryDescription* DescribeComponent(const ComponentDefinition& component) {
    static const LibraryDescription described = Describe(component);
    return &described.library;
}

}  // namespace vesk::component_hosting
