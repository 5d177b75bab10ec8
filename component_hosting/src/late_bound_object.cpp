#include "vesk/component_hosting/late_bound_object.h"

#include <fmt/format.h>

#include "vesk/component_hosting/com_error.h"
#include "vesk/component_hosting/component_library.h"
#include "vesk/component_hosting/text_conversion.h"

namespace vesk::component_hosting {

namespace {

// The failure of Invoke as an exception: the object's own description for DISP_E_EXCEPTION,
// else the code with the argument it names.
[[noreturn]] void ThrowInvokeFailure(HRESULT result, EXCEPINFO& exception, UINT argumentError,
                                     std::string_view what) {
    std::string description;
    if (result == DISP_E_EXCEPTION) {
        description = TextOf(exception.bstrDescription);
    } else if (result == DISP_E_TYPEMISMATCH || result == DISP_E_PARAMNOTOPTIONAL) {
        description =
            fmt::format("{}: {} (argument at {})", what, ResultName(result), argumentError);
    } else {
        description = fmt::format("{}: {}", what, ResultName(result));
    }
    FreeExcepInfo(&exception);
    throw ComError(result, description);
}

std::pair<ComponentLibrary*, ClassRegistration> RegisteredClass(std::string_view programId,
                                                                const Registry& registry) {
    std::optional<ClassRegistration> registration = registry.FindProgramId(programId);
    if (!registration) {
        throw ComError(CO_E_CLASSSTRING, fmt::format("No class is registered as {} in {}",
                                                     programId, registry.Path()));
    }
    return {&ComponentLibrary::Load(registration->libraryPath), *registration};
}

}  // namespace

DISPID LateBoundObject::IdOf(std::string_view name) const {
    if (!m_object) {
        throw ComError(E_POINTER, fmt::format("{}: no object", name));
    }
    std::u16string text = ToUtf16(name);
    OLECHAR* names[] = {text.data()};
    DISPID id = DISPID_UNKNOWN;
    ThrowIfFailed(m_object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), name);
    return id;
}

Variant LateBoundObject::Invoke(DISPID id, WORD flags, std::vector<Variant> arguments,
                                std::string_view what) const {
    std::vector<VARIANT> raw;
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument) {
        raw.push_back(argument->Raw());  // borrowed: `arguments` owns them through the call
    }
    DISPID putId = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{raw.data(), put ? &putId : nullptr, static_cast<UINT>(raw.size()),
                      put ? 1u : 0u};
    Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT invoked = m_object->Invoke(id, IID_NULL, 0, flags, &params, result.Receive(),
                                             &exception, &argumentError);
    if (Failed(invoked)) {
        ThrowInvokeFailure(invoked, exception, argumentError, what);
    }
    return result;
}

Variant LateBoundObject::Get(std::string_view name, std::vector<Variant> arguments) const {
    return Invoke(IdOf(name), DISPATCH_PROPERTYGET, std::move(arguments), name);
}

void LateBoundObject::Put(std::string_view name, Variant value) const {
    Invoke(IdOf(name), DISPATCH_PROPERTYPUT, {std::move(value)}, name);
}

void LateBoundObject::PutRef(std::string_view name, Variant value) const {
    Invoke(IdOf(name), DISPATCH_PROPERTYPUTREF, {std::move(value)}, name);
}

Variant LateBoundObject::Call(std::string_view name, std::vector<Variant> arguments) const {
    return Invoke(IdOf(name), DISPATCH_METHOD, std::move(arguments), name);
}

EventConnection LateBoundObject::Advise(EventHandler handler) const {
    if (m_description == nullptr || m_description->eventInterface == nullptr) {
        throw ComError(CONNECT_E_NOCONNECTION, "The object has no event interface");
    }
    const InterfaceDescription& events = *m_description->eventInterface;
    ComPtr<IConnectionPointContainer> container =
        m_object.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) {
        throw ComError(CONNECT_E_NOCONNECTION, "The object fires no events");
    }
    ComPtr<IConnectionPoint> point;
    ThrowIfFailed(container->FindConnectionPoint(events.iid, point.Receive()), events.name);
    DWORD cookie = 0;
    ThrowIfFailed(point->Advise(EventSink::Make(events, std::move(handler)).Get(), &cookie),
                  events.name);
    return EventConnection(std::move(point), cookie);
}

LateBoundObject CreateObject(std::string_view programId, const Registry& registry) {
    auto [library, registration] = RegisteredClass(programId, registry);
    ComPtr<IDispatch> object;
    ThrowIfFailed(
        library->ClassObject(registration.clsid)
            ->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.Receive())),
        fmt::format("Creating {}", programId));
    return LateBoundObject(std::move(object), library->FindClass(registration.clsid));
}

LateBoundObject GetApplicationObject(std::string_view programId, const Registry& registry) {
    auto [library, registration] = RegisteredClass(programId, registry);
    return LateBoundObject(library->ApplicationObject(registration.clsid),
                           library->FindClass(registration.clsid));
}

}  // namespace vesk::component_hosting
