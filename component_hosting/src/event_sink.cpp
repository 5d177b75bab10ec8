#include "vesk/component_hosting/event_sink.h"

namespace vesk::component_hosting {

ComPtr<IDispatch> EventSink::Make(const InterfaceDescription& events, EventHandler handler) {
    return ComPtr<IDispatch>::Share(new EventSink(events, std::move(handler)));
}

HRESULT EventSink::QueryInterface(REFIID iid, void** object) {
    const bool offered = iid == IID_IUnknown || iid == IID_IDispatch || iid == m_events.iid;
    return HandOut(object, offered ? static_cast<IDispatch*>(this) : nullptr, *this);
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) {
        *info = nullptr;
    }
    return DISP_E_BADINDEX;
}

HRESULT EventSink::GetIDsOfNames(REFIID, OLECHAR**, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO*, UINT*) {
    if (result != nullptr) {
        VariantInit(result);
    }
    for (std::uint32_t member_idx = 0; member_idx < m_events.memberCount; ++member_idx) {
        const MemberDescription& event = m_events.members[member_idx];
        if (event.id != id) {
            continue;
        }
        static const DISPPARAMS kNoArguments{nullptr, nullptr, 0, 0};
        try {
            m_handler(event.name, ArgumentList(params != nullptr ? *params : kNoArguments));
            return S_OK;
        } catch (...) {
            return DISP_E_EXCEPTION;
        }
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace vesk::component_hosting
