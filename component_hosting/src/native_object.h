#pragma once

#include "vesk/component_hosting/com_ptr.h"

namespace vesk::component_hosting {

// Lets a library recognise its own objects among the interface pointers a host passes in, so
// that it may use their C++ state (a connection, a record set, a picture). An object answers
// with an address unique to its class in the library that made it; an object of another
// library, even one built from the same code, never matches, so C++ objects never cross
// from one library's copy of the code into another's.
class INativeObject : public IUnknown {
public:
    virtual const void* ClassIdentity() = 0;
    // One of the object's references is the library's own and does not keep it in use.
    virtual void BelongToLibrary() = 0;

protected:
    ~INativeObject() = default;
};

inline constexpr IID IID_INativeObject{
    0x6CDF8832, 0x8678, 0x4CA5, {0x9D, 0x7E, 0x79, 0xAC, 0xD6, 0xE0, 0xA7, 0xFA}};

// `unknown` as an Object of this library (borrowed: valid while `unknown` is held), or null
// when it is null, foreign, or of another class.
template <typename Object>
Object* NativeObject(IUnknown* unknown) {
    if (unknown == nullptr) {
        return nullptr;
    }
    ComPtr<INativeObject> native;
    if (Failed(unknown->QueryInterface(IID_INativeObject,
                                       reinterpret_cast<void**>(native.Receive()))) ||
        native->ClassIdentity() != Object::ClassIdentityOfLibrary()) {
        return nullptr;
    }
    return static_cast<Object*>(native.Get());
}

}  // namespace vesk::component_hosting
