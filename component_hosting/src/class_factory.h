#pragma once

#include "vesk/component_hosting/com_ptr.h"
#include "vesk/component_hosting/plain_object.h"

namespace vesk::component_hosting {

// The class object of one class: makes its objects. Holding it does not keep the library in
// use; LockServer does.
class ClassFactory final : public PlainObject<IClassFactory> {
public:
    // Makes one new object, referenced once; throws on failure.
    using Create = ComPtr<IDispatch> (*)();

    static ComPtr<IClassFactory> Make(Create create);

    HRESULT QueryInterface(REFIID iid, void** object) override;

    HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT LockServer(BOOL lock) override;

private:
    explicit ClassFactory(Create create) : m_create(create) {}

    Create m_create;
};

}  // namespace vesk::component_hosting
