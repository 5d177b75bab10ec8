#include "class_factory.h"

#include <new>

#include "module_usage.h"

namespace vesk::component_hosting {

ComPtr<IClassFactory> ClassFactory::Make(Create create) {
    return ComPtr<IClassFactory>::Share(new ClassFactory(create));
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
    const bool offered = iid == IID_IUnknown || iid == IID_IClassFactory;
    return HandOut(object, offered ? static_cast<IClassFactory*>(this) : nullptr, *this);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    try {
        ComPtr<IDispatch> created = m_create();
        return created->QueryInterface(iid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    if (lock != 0) {
        ModuleUsage::Lock();
    } else {
        ModuleUsage::Unlock();
    }
    return S_OK;
}

}  // namespace vesk::component_hosting
