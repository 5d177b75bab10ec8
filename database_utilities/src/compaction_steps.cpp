#include "compaction_steps.h"

#include <utility>

namespace vesk::database_utilities::detail {

namespace {

std::function<void(CompactionStep)>& FaultHook() {
    static std::function<void(CompactionStep)> hook;
    return hook;
}

}  // namespace

void SetCompactionFaultHook(std::function<void(CompactionStep step)> hook) {
    FaultHook() = std::move(hook);
}

void ReachCompactionStep(CompactionStep step) {
    if (FaultHook()) {
        FaultHook()(step);
    }
}

}  // namespace vesk::database_utilities::detail
