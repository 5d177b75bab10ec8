#pragma once

#include <algorithm>
#include <vector>

namespace vesk::events {

// The listeners of a component's notifications. Notifications are delivered synchronously, in
// the order the listeners were added; a listener may add or remove listeners while it is being
// called (the delivery in progress goes to those present when it started). Not owned.
template <typename Listener>
class Listeners {
public:
    // Adds `listener` once; adding it again or adding nullptr changes nothing.
    void Add(Listener* listener) {
        if (listener &&
            std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end()) {
            m_listeners.push_back(listener);
        }
    }

    void Remove(Listener* listener) {
        m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                          m_listeners.end());
    }

    // Calls `deliver(listener)` for each listener.
    template <typename Deliver>
    void Fire(Deliver&& deliver) const {
        std::vector<Listener*> listeners = m_listeners;
        for (Listener* listener : listeners) {
            deliver(*listener);
        }
    }

private:
    std::vector<Listener*> m_listeners;
};

}  // namespace vesk::events
