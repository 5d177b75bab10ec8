#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vesk/component_hosting/event_connection.h"
#include "vesk/component_hosting/event_sink.h"
#include "vesk/component_hosting/registry.h"
#include "vesk/component_hosting/variant.h"

namespace vesk::component_hosting {

// An object reached by member names only, as a late-binding host reaches it:
//
//     LateBoundObject photos = CreateObject("VeskPhotos.CPicture");
//     photos.Put("TableName", "Photos");
//     photos.Call("Init", {"EMP001", "EMP", Variant::Missing(), Variant::Missing(), cnn});
//     double size = 0;  Variant dSize(size);
//     photos.Call("CheckPicDiskSize", {picture, Variant::Ref(dSize)});  // dSize written back
//
// Every call looks the name up (GetIDsOfNames) and calls Invoke; a failure throws ComError
// with the result code, and for DISP_E_EXCEPTION the object's own description.
class LateBoundObject {
public:
    LateBoundObject() = default;
    // `description` (may be null) is the object's class in its library's type description;
    // Advise needs it.
    explicit LateBoundObject(ComPtr<IDispatch> object,
                             const ClassDescription* description = nullptr)
        : m_object(std::move(object)), m_description(description) {}
    // The object a result or property holds (no class description).
    explicit LateBoundObject(const Variant& value) : m_object(value.ToDispatch()) {}

    explicit operator bool() const { return static_cast<bool>(m_object); }
    const ComPtr<IDispatch>& Dispatch() const { return m_object; }
    const ClassDescription* Description() const { return m_description; }

    // The dispatch identifier of member `name`; throws ComError (DISP_E_UNKNOWNNAME).
    DISPID IdOf(std::string_view name) const;

    // A property get (with arguments for a property that takes them).
    Variant Get(std::string_view name, std::vector<Variant> arguments = {}) const;
    // A property put / put-by-reference.
    void Put(std::string_view name, Variant value) const;
    void PutRef(std::string_view name, Variant value) const;
    // A method call; its result (Empty when it has none).
    Variant Call(std::string_view name, std::vector<Variant> arguments = {}) const;
    // Invoke as it is: `arguments` in declaration order.
    Variant Invoke(DISPID id, WORD flags, std::vector<Variant> arguments,
                   std::string_view what = {}) const;

    // Delivers the object's events to `handler` until the connection goes. Throws ComError
    // (CONNECT_E_NOCONNECTION) when the object has no event interface in its description.
    EventConnection Advise(EventHandler handler) const;

private:
    ComPtr<IDispatch> m_object;
    const ClassDescription* m_description = nullptr;
};

// A new object of the class registered under `programId`: its library is loaded from the
// path `registry` records (ComponentLibrary), asked for the class object and for an object
// through IDispatch. Throws ComError: CO_E_CLASSSTRING when nothing is registered under the
// name, the library's own code when it fails.
LateBoundObject CreateObject(std::string_view programId, const Registry& registry = Registry());

// The library's predeclared instance of the class registered under `programId`
// (DllGetApplicationObject). Throws ComError like CreateObject.
LateBoundObject GetApplicationObject(std::string_view programId,
                                     const Registry& registry = Registry());

}  // namespace vesk::component_hosting
