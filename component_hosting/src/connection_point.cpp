#include "connection_point.h"

#include <algorithm>

#include "vesk/component_hosting/plain_object.h"

namespace vesk::component_hosting {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer& container, const IID& eventIid)
    : m_container(container), m_eventIid(eventIid) {}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
    const bool offered = iid == IID_IUnknown || iid == IID_IConnectionPoint;
    return HandOut(object, offered ? static_cast<IConnectionPoint*>(this) : nullptr, *this);
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = m_eventIid;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (container == nullptr) {
        return E_POINTER;
    }
    m_container.AddRef();
    *container = &m_container;
    return S_OK;
}

// A sink is reached through IDispatch; one that offers the event interface itself is asked
// for that first, as such sinks expect.
HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    ComPtr<IUnknown> unknown = ComPtr<IUnknown>::Share(sink);
    ComPtr<IDispatch> dispatch = unknown.As<IDispatch>(m_eventIid);
    if (!dispatch) {
        dispatch = unknown.As<IDispatch>(IID_IDispatch);
    }
    if (!dispatch) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = ++m_lastCookie;
    m_sinks.emplace_back(*cookie, std::move(dispatch));
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
    auto found = std::find_if(m_sinks.begin(), m_sinks.end(),
                              [cookie](const auto& sink) { return sink.first == cookie; });
    if (found == m_sinks.end()) {
        return CONNECT_E_NOCONNECTION;
    }
    ComPtr<IDispatch> leaving = std::move(found->second);  // released after the erase
    m_sinks.erase(found);
    return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
    if (connections != nullptr) {
        *connections = nullptr;
    }
    return E_NOTIMPL;
}

void ConnectionPoint::Fire(DISPID id, DISPPARAMS& params) const {
    const std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks = m_sinks;
    for (const auto& [cookie, sink] : sinks) {
        sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}

}  // namespace vesk::component_hosting
