#pragma once

#include <cstdint>
#include <span>

#include "interface_shape.h"
#include "vesk/component_hosting/com_ptr.h"

namespace vesk::component_hosting {

// One class of a component library.
struct ClassDefinition {
    const char* name;       // "CPicture"
    const char* programId;  // "VeskPhotos.CPicture"
    CLSID clsid;
    // The library also keeps one predeclared instance (DllGetApplicationObject).
    bool applicationObject;
    // A new object, referenced once; throws on failure.
    ComPtr<IDispatch> (*create)();
    const InterfaceShape& (*defaultInterface)();
    const InterfaceShape& (*eventInterface)();
};

// What a component library is: its type library and its classes.
struct ComponentDefinition {
    const char* typeLibraryName;  // "VeskPhotos"
    Guid libraryId;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    const char* description;
    std::span<const ClassDefinition> classes;
};

// The definition of class Object, a DispatchObject with an event interface (EventShape).
template <typename Object>
ClassDefinition DefineClass(const char* name, const char* programId, const CLSID& clsid,
                            bool applicationObject) {
    return {name,
            programId,
            clsid,
            applicationObject,
            [] { return Object::Make(); },
            []() -> const InterfaceShape& { return Object::Table().Shape(); },
            []() -> const InterfaceShape& { return Object::EventShape(); }};
}

// The definition of the library this code is linked into. Each component library defines it
// once (photo/photo_component.cpp, ...); the entry points (entry_points.cpp) serve it.
const ComponentDefinition& ThisComponent();

}  // namespace vesk::component_hosting
