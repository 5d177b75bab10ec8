#pragma once

#include "vesk/component_hosting/base_types.h"
#include "vesk/component_hosting/guid.h"

// The type description (type library) of a component library as plain, static data: the
// library, its classes, and of each class the default interface and the event interface with
// their members in slot order. A host reads it through the library's exported
// VeskDescribeTypeLibrary (entry_points.h); it stays valid while the library is loaded.
//
// Every member is a dispatch member: `kind` says whether it is a method or a property get,
// put or put-by-reference, and a property's get and put share one dispatch identifier.
// Types are value types of dispatch_types.h (VT_BSTR, VT_BOOL, VT_I2, VT_I4, VT_R8, VT_VARIANT,
// VT_DISPATCH); an object type also has a `typeName` ("Connection", "Recordset", "Field",
// "Picture", "ImageControl"). A by-reference parameter has VT_BYREF in its type. A result of
// VT_VOID means none. Names are UTF-8.
namespace vesk::component_hosting {

// Parameter flags (the values such descriptions have always used).
inline constexpr std::uint16_t PARAMFLAG_NONE = 0;
inline constexpr std::uint16_t PARAMFLAG_FOPT = 0x10;  // optional: may be left out

// Member kinds: the Invoke flag that reaches the member.
inline constexpr std::uint16_t INVOKE_FUNC = 1;
inline constexpr std::uint16_t INVOKE_PROPERTYGET = 2;
inline constexpr std::uint16_t INVOKE_PROPERTYPUT = 4;
inline constexpr std::uint16_t INVOKE_PROPERTYPUTREF = 8;

// Class flags.
inline constexpr std::uint32_t CLASSFLAG_CREATABLE = 1;  // DllGetClassObject makes it
// The library also holds one predeclared instance of it (DllGetApplicationObject).
inline constexpr std::uint32_t CLASSFLAG_APPOBJECT = 2;

struct ParameterDescription {
    const char* name;
    VARTYPE type;
    std::uint16_t flags;
    const char* typeName;  // for VT_DISPATCH; null otherwise
};

struct MemberDescription {
    const char* name;
    DISPID id;
    std::uint16_t kind;
    VARTYPE resultType;
    const char* resultTypeName;  // for VT_DISPATCH; null otherwise
    std::uint32_t parameterCount;
    const ParameterDescription* parameters;
};

struct InterfaceDescription {
    const char* name;
    IID iid;
    std::uint32_t memberCount;
    const MemberDescription* members;  // in slot order
};

struct ClassDescription {
    const char* name;
    const char* programId;
    CLSID clsid;
    std::uint32_t flags;
    const InterfaceDescription* defaultInterface;
    const InterfaceDescription* eventInterface;  // null when the class fires no events
};

struct TypeLibraryDescription {
    const char* name;
    Guid libraryId;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    const char* description;  // may be empty
    std::uint32_t classCount;
    const ClassDescription* classes;
};

}  // namespace vesk::component_hosting
