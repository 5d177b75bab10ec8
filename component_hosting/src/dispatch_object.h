#pragma once

#include <utility>

#include "native_object.h"
#include "reference_count.h"
#include "vesk/component_hosting/com_ptr.h"
#include "vesk/component_hosting/dispatch_types.h"
#include "vesk/component_hosting/plain_object.h"

namespace vesk::component_hosting {

// The IUnknown and IDispatch of an object of class Self, a C++ object of this library exposed
// to late-bound hosts. Self provides `static const DispatchTable<Self>& Table()` (defined in a
// source file, so that its address is the class's identity in this library). The object
// counts towards the library's use while referenced and deletes itself on its last Release.
template <typename Self>
class DispatchObject : public IDispatch, public INativeObject {
public:
    DispatchObject() = default;
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;
    virtual ~DispatchObject() = default;

    // A new object of Self made from `arguments`, seen through its default interface.
    template <typename... Arguments>
    static ComPtr<IDispatch> Make(Arguments&&... arguments) {
        return ComPtr<IDispatch>::Share(new Self(std::forward<Arguments>(arguments)...));
    }

    static const void* ClassIdentityOfLibrary() { return &Self::Table(); }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        return HandOut(object, Interface(iid), static_cast<IDispatch&>(*this));
    }
    ULONG AddRef() override { return m_references.Add(); }
    ULONG Release() override {
        const ULONG left = m_references.Drop();
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return DISP_E_BADINDEX;
    }
    HRESULT GetIDsOfNames(REFIID, OLECHAR** names, UINT count, LCID, DISPID* ids) override {
        return Self::Table().Shape().GetIDsOfNames(names, count, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argumentError) override {
        return Self::Table().Invoke(static_cast<Self&>(*this), id, flags, params, result, exception,
                                    argumentError);
    }

    const void* ClassIdentity() override { return ClassIdentityOfLibrary(); }

    void BelongToLibrary() override { m_references.BelongToLibrary(); }

protected:
    // This object seen through `iid` (no reference added), or null. Derived classes add the
    // interfaces they offer besides the default one.
    virtual void* Interface(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == Self::Table().Shape().Iid()) {
            return static_cast<IDispatch*>(this);
        }
        if (iid == IID_INativeObject) {
            return static_cast<INativeObject*>(this);
        }
        return nullptr;
    }

private:
    ReferenceCount m_references;
};

}  // namespace vesk::component_hosting
