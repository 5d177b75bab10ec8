#pragma once

namespace vesk::component_hosting {

// How much of this component library is in use: objects that someone holds, and LockServer
// locks. Each library links its own copy of this code, so each has its own count, which
// DllCanUnloadNow reads.
class ModuleUsage {
public:
    // One object more / less is held.
    static void Acquire();
    static void Release();
    // One lock more / less; an unlock without a lock changes nothing.
    static void Lock();
    static void Unlock();

    static bool InUse();
};

}  // namespace vesk::component_hosting
