#include "reference_count.h"

#include "module_usage.h"

namespace vesk::component_hosting {

ULONG ReferenceCount::Add() {
    const ULONG count = ++m_count;
    if (count == m_floor + 1) {
        ModuleUsage::Acquire();
    }
    return count;
}

ULONG ReferenceCount::Drop() {
    const ULONG count = --m_count;
    if (count == m_floor) {
        ModuleUsage::Release();
    }
    return count;
}

// Use is counted while the count is above the floor; raising the floor to 1 ends the use
// now when the library's is the only reference, or at the drop to 1 otherwise.
void ReferenceCount::BelongToLibrary() {
    if (m_floor == 0 && m_count.load() >= 1) {
        m_floor = 1;
        if (m_count.load() == 1) {
            ModuleUsage::Release();
        }
    }
}

}  // namespace vesk::component_hosting
