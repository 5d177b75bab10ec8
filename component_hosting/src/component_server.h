#pragma once

#include <string>

#include "component_definition.h"
#include "vesk/component_hosting/registry_file.h"
#include "vesk/component_hosting/type_description.h"

// What the exported entry points of a component library do (entry_points.h tells the
// contract of each), for the library described by `component`.
namespace vesk::component_hosting {

// `addressInLibrary` is any address inside the library, whose path the registry records.
HRESULT RegisterComponent(const ComponentDefinition& component, const void* addressInLibrary);
HRESULT UnregisterComponent(const ComponentDefinition& component);
HRESULT GetClassObject(const ComponentDefinition& component, REFCLSID clsid, REFIID iid,
                       void** object);
HRESULT CanUnloadNow();
HRESULT GetApplicationObject(const ComponentDefinition& component, REFCLSID clsid, REFIID iid,
                             void** object);
const TypeLibraryDescription* DescribeComponent(const ComponentDefinition& component);

// The registry entries of the library: added (replacing older ones of the same names), and
// removed again (only sections that still name this library's class or type library).
void AddComponentEntries(RegistryFile& file, const ComponentDefinition& component,
                         const std::string& libraryPath);
void RemoveComponentEntries(RegistryFile& file, const ComponentDefinition& component);

}  // namespace vesk::component_hosting
