#include "vesk/component_hosting/event_connection.h"

namespace vesk::component_hosting {

EventConnection::EventConnection(EventConnection&& other) noexcept
    : m_point(std::move(other.m_point)), m_cookie(std::exchange(other.m_cookie, 0)) {}

EventConnection& EventConnection::operator=(EventConnection&& other) noexcept {
    if (this != &other) {
        Disconnect();
        m_point = std::move(other.m_point);
        m_cookie = std::exchange(other.m_cookie, 0);
    }
    return *this;
}

void EventConnection::Disconnect() {
    if (ComPtr<IConnectionPoint> point = std::move(m_point)) {
        point->Unadvise(std::exchange(m_cookie, 0));
    }
}

}  // namespace vesk::component_hosting
