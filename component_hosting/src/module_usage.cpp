#include "module_usage.h"

#include <atomic>

namespace vesk::component_hosting {

namespace {

// Internal linkage: never shared with another library that links the same code.
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

}  // namespace

void ModuleUsage::Acquire() {
    ++g_objects;
}

void ModuleUsage::Release() {
    --g_objects;
}

void ModuleUsage::Lock() {
    ++g_locks;
}

void ModuleUsage::Unlock() {
    long locks = g_locks.load();
    while (locks > 0 && !g_locks.compare_exchange_weak(locks, locks - 1)) {
    }
}

bool ModuleUsage::InUse() {
    return g_objects.load() > 0 || g_locks.load() > 0;
}

}  // namespace vesk::component_hosting
