#pragma once

#include <utility>
#include <vector>

#include "vesk/component_hosting/com_ptr.h"
#include "vesk/component_hosting/dispatch_types.h"

namespace vesk::component_hosting {

// The sinks of one event interface of an object (its container). It lives inside the
// container and shares its reference count: holding the connection point holds the object.
class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer& container, const IID& eventIid);
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;
    ~ConnectionPoint() = default;

    HRESULT QueryInterface(REFIID iid, void** object) override;
    ULONG AddRef() override { return m_container.AddRef(); }
    ULONG Release() override { return m_container.Release(); }

    HRESULT GetConnectionInterface(IID* iid) override;
    HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT Unadvise(DWORD cookie) override;
    HRESULT EnumConnections(IEnumConnections** connections) override;

    const IID& EventIid() const { return m_eventIid; }
    bool HasSinks() const { return !m_sinks.empty(); }

    // Calls event `id` on every sink, in the order they were advised, with `params`. A sink
    // may advise or unadvise sinks while it is called (this delivery goes to the sinks present
    // when it started). What a sink returns is not looked at.
    void Fire(DISPID id, DISPPARAMS& params) const;

private:
    IConnectionPointContainer& m_container;
    IID m_eventIid;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> m_sinks;
    DWORD m_lastCookie = 0;
};

}  // namespace vesk::component_hosting
