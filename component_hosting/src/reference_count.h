#pragma once

#include <atomic>

#include "vesk/component_hosting/base_types.h"

namespace vesk::component_hosting {

// The reference count of one object of this library. While the count is above the object's
// floor the object keeps the library in use (ModuleUsage). The floor is 0, except for an
// object the library keeps for itself (the application object), whose own reference does not
// keep the library in use.
class ReferenceCount {
public:
    ReferenceCount() = default;
    ReferenceCount(const ReferenceCount&) = delete;
    ReferenceCount& operator=(const ReferenceCount&) = delete;

    // Add one reference / drop one; return the new count.
    ULONG Add();
    ULONG Drop();
    // One of the references held now is the library's own, which from here on does not count.
    void BelongToLibrary();

private:
    std::atomic<ULONG> m_count{0};
    ULONG m_floor = 0;
};

}  // namespace vesk::component_hosting
