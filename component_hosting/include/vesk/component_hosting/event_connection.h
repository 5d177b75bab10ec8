#pragma once

#include "vesk/component_hosting/com_ptr.h"

namespace vesk::component_hosting {

// A sink advised on a connection point, unadvised when the connection goes (or on
// Disconnect). Move-only.
class EventConnection {
public:
    EventConnection() = default;
    EventConnection(ComPtr<IConnectionPoint> point, DWORD cookie)
        : m_point(std::move(point)), m_cookie(cookie) {}
    EventConnection(EventConnection&& other) noexcept;
    EventConnection& operator=(EventConnection&& other) noexcept;
    ~EventConnection() { Disconnect(); }

    bool IsConnected() const { return static_cast<bool>(m_point); }
    // Unadvises the sink; nothing when not connected.
    void Disconnect();

private:
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

}  // namespace vesk::component_hosting
