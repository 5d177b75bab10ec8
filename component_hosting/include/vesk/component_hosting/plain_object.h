#pragma once

#include <atomic>

#include "vesk/component_hosting/interfaces.h"
#include "vesk/component_hosting/result_codes.h"

namespace vesk::component_hosting {

// The end of every QueryInterface: hands out `found` (the object seen through the interface
// asked for, or null when it has none) with a reference added through `owner`.
inline HRESULT HandOut(void** object, void* found, IUnknown& owner) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = found;
    if (found == nullptr) {
        return E_NOINTERFACE;
    }
    owner.AddRef();
    return S_OK;
}

// The reference count of an object that keeps no component library in use (a class object, a
// host's own objects such as an event sink): it deletes itself on its last Release.
template <typename Interface>
class PlainObject : public Interface {
public:
    ULONG AddRef() override { return ++m_references; }
    ULONG Release() override {
        const ULONG left = --m_references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    PlainObject() = default;
    virtual ~PlainObject() = default;

private:
    std::atomic<ULONG> m_references{0};
};

}  // namespace vesk::component_hosting
