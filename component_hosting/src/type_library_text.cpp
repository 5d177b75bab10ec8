#include "vesk/component_hosting/type_library_text.h"

#include <fmt/format.h>

#include <set>

#include "vesk/component_hosting/dispatch_types.h"

namespace vesk::component_hosting {

namespace {

// The uuid attribute's form: the text form without its braces.
std::string Uuid(const Guid& guid) {
    const std::string text = ToString(guid);
    return text.substr(1, text.size() - 2);
}

std::string TypeName(VARTYPE type, const char* objectName) {
    std::string name;
    switch (type & VT_TYPEMASK) {
        case VT_VOID:
            name = "void";
            break;
        case VT_BSTR:
            name = "BSTR";
            break;
        case VT_BOOL:
            name = "VARIANT_BOOL";
            break;
        case VT_I2:
            name = "short";
            break;
        case VT_I4:
            name = "long";
            break;
        case VT_R8:
            name = "double";
            break;
        case VT_DISPATCH:
            name = std::string(objectName != nullptr ? objectName : "IDispatch") + "*";
            break;
        default:
            name = "VARIANT";
            break;
    }
    return (type & VT_BYREF) != 0 ? name + "*" : name;
}

std::string ParameterText(const ParameterDescription& parameter) {
    std::string flags = (parameter.type & VT_BYREF) != 0 ? "in, out" : "in";
    if ((parameter.flags & PARAMFLAG_FOPT) != 0) {
        flags += ", optional";
    }
    return fmt::format("[{}] {} {}", flags, TypeName(parameter.type, parameter.typeName),
                       parameter.name);
}

std::string MemberText(const MemberDescription& member) {
    std::string attributes = fmt::format("id({})", member.id);
    if (member.kind == INVOKE_PROPERTYGET) {
        attributes += ", propget";
    } else if (member.kind == INVOKE_PROPERTYPUT) {
        attributes += ", propput";
    } else if (member.kind == INVOKE_PROPERTYPUTREF) {
        attributes += ", propputref";
    }
    std::string parameters;
    for (std::uint32_t param_idx = 0; param_idx < member.parameterCount; ++param_idx) {
        parameters += (param_idx > 0 ? ", " : "") + ParameterText(member.parameters[param_idx]);
    }
    return fmt::format("        [{}] {} {}({});\n", attributes,
                       TypeName(member.resultType, member.resultTypeName), member.name, parameters);
}

std::string InterfaceText(const InterfaceDescription& description) {
    std::string text = fmt::format("    [uuid({})]\n    dispinterface {}\n    {{\n    methods:\n",
                                   Uuid(description.iid), description.name);
    for (std::uint32_t member_idx = 0; member_idx < description.memberCount; ++member_idx) {
        text += MemberText(description.members[member_idx]);
    }
    return text + "    };\n\n";
}

std::string ClassText(const ClassDescription& description) {
    std::string text = fmt::format(
        "    [uuid({}){}]\n    coclass {}\n    {{\n", Uuid(description.clsid),
        (description.flags & CLASSFLAG_APPOBJECT) != 0 ? ", appobject" : "", description.name);
    text +=
        fmt::format("        [default] dispinterface {};\n", description.defaultInterface->name);
    if (description.eventInterface != nullptr) {
        text += fmt::format("        [default, source] dispinterface {};\n",
                            description.eventInterface->name);
    }
    return text + "    };\n";
}

}  // namespace

std::string TypeLibraryText(const TypeLibraryDescription& library) {
    std::string text = fmt::format(
        "[uuid({}), version({}.{}), helpstring(\"{}\")]\nlibrary {}\n{{\n", Uuid(library.libraryId),
        library.majorVersion, library.minorVersion, library.description, library.name);
    std::set<const InterfaceDescription*> written;
    for (std::uint32_t class_idx = 0; class_idx < library.classCount; ++class_idx) {
        const ClassDescription& description = library.classes[class_idx];
        for (const InterfaceDescription* described :
             {description.defaultInterface, description.eventInterface}) {
            if (described != nullptr && written.insert(described).second) {
                text += InterfaceText(*described);
            }
        }
    }
    for (std::uint32_t class_idx = 0; class_idx < library.classCount; ++class_idx) {
        text += ClassText(library.classes[class_idx]);
    }
    return text + "};\n";
}

}  // namespace vesk::component_hosting
