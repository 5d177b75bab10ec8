#pragma once

#include "connection_point.h"
#include "dispatch_object.h"

namespace vesk::component_hosting {

// A DispatchObject that also fires events: it is a connection point container with one
// connection point, for the event interface whose shape Self::EventShape() gives.
template <typename Self>
class EventSourceObject : public DispatchObject<Self>, public IConnectionPointContainer {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        return DispatchObject<Self>::QueryInterface(iid, object);
    }
    ULONG AddRef() override { return DispatchObject<Self>::AddRef(); }
    ULONG Release() override { return DispatchObject<Self>::Release(); }

    HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
        if (points != nullptr) {
            *points = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (point == nullptr) {
            return E_POINTER;
        }
        *point = nullptr;
        if (iid != m_events.EventIid()) {
            return CONNECT_E_NOCONNECTION;
        }
        m_events.AddRef();
        *point = &m_events;
        return S_OK;
    }

protected:
    void* Interface(REFIID iid) override {
        if (iid == IID_IConnectionPointContainer) {
            return static_cast<IConnectionPointContainer*>(this);
        }
        return DispatchObject<Self>::Interface(iid);
    }

    const ConnectionPoint& Events() const { return m_events; }

private:
    ConnectionPoint m_events{*this, Self::EventShape().Iid()};
};

}  // namespace vesk::component_hosting
