#pragma once

#include <utility>

#include "vesk/component_hosting/interfaces.h"
#include "vesk/component_hosting/result_codes.h"

namespace vesk::component_hosting {

// Holds one reference to an interface and releases it when it goes. Copies add a reference.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller already holds (as QueryInterface hands out).
    static ComPtr Adopt(Interface* pointer) {
        ComPtr held;
        held.m_pointer = pointer;
        return held;
    }
    // Adds a reference of its own to `pointer`.
    static ComPtr Share(Interface* pointer) {
        if (pointer != nullptr) {
            pointer->AddRef();
        }
        return Adopt(pointer);
    }

    ComPtr(const ComPtr& other) : m_pointer(other.m_pointer) {
        if (m_pointer != nullptr) {
            m_pointer->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : m_pointer(std::exchange(other.m_pointer, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (Interface* pointer = std::exchange(m_pointer, nullptr)) {
            pointer->Release();
        }
    }
    // Gives up the reference without releasing it.
    Interface* Detach() { return std::exchange(m_pointer, nullptr); }

    Interface* Get() const { return m_pointer; }
    Interface* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    // For out parameters: releases what is held and gives the slot to fill.
    Interface** Receive() {
        Reset();
        return &m_pointer;
    }

    // The same object through interface `iid` of type Other; null when it has no such
    // interface.
    template <typename Other>
    ComPtr<Other> As(REFIID iid) const {
        ComPtr<Other> other;
        if (m_pointer != nullptr) {
            m_pointer->QueryInterface(iid, reinterpret_cast<void**>(other.Receive()));
        }
        return other;
    }

private:
    Interface* m_pointer = nullptr;
};

}  // namespace vesk::component_hosting
