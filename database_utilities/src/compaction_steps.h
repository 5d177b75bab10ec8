#pragma once

#include <functional>

// The steps of a compaction in the order they run, with a hook for fault-injection tests.
namespace vesk::dbutil::detail {

enum class CompactionStep {
    RemoveLeftover = 1,  // a temporary file left by an earlier call is deleted
    ExportCopy,          // the engine writes the compacted copy
    CheckCopy,           // the copy is checked against the database
    BringBeside,         // a copy on another file system is copied next to the database
    SyncCopy,            // the copy is flushed to disk
    Rename,              // the copy takes the database's name
    SyncFolder,          // the rename is flushed to disk
    OpenCompacted,       // the legacy build opens the compacted file once more
};

// The steps every compaction runs, OpenCompacted left out.
inline constexpr int kCompactionStepCount = 7;

// Called before each step with its number; a hook that throws makes that step fail. An empty
// function removes the hook.
void SetCompactionFaultHook(std::function<void(CompactionStep step)> hook);

// Runs the hook, if any, for `step`.
void ReachCompactionStep(CompactionStep step);

}  // namespace vesk::dbutil::detail
