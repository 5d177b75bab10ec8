#pragma once

#include <functional>

// The steps of a compaction in the order they run, with a hook for fault-injection tests.
namespace vesk::database_utilities::detail {

enum class CompactionStep {
    RemoveLeftover = 1,  // temporary files a killed compaction of this database left go
    ExportCopy,          // the engine writes the compacted copy into a new temporary file
    CheckCopy,           // the copy is checked against the database, under the same lock
    WriteBack,           // the copy's content replaces the database's in one transaction
    Unlock,              // the database's lock is given up and the temporary file removed
    OpenCompacted,       // the legacy build opens the compacted file once more
};

// The steps every compaction runs, OpenCompacted left out.
inline constexpr int kCompactionStepCount = 5;

// Called before each step with its number; a hook that throws makes that step fail. An empty
// function removes the hook.
void SetCompactionFaultHook(std::function<void(CompactionStep step)> hook);

// Runs the hook, if any, for `step`.
void ReachCompactionStep(CompactionStep step);

}  // namespace vesk::database_utilities::detail
