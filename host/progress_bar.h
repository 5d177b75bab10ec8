#pragma once

#include <string>

#include "command_registry.h"

namespace vesk::host {

// A one-line progress bar on standard error, drawn only when standard error is a terminal, so
// that piped and logged output stays clean.
class ProgressBar {
public:
    explicit ProgressBar(Output& output);
    ~ProgressBar() { Clear(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws the bar at `done` of `total`, followed by `label`.
    void Show(long done, long total, const std::string& label);
    // Removes the bar, so that ordinary output can follow on a clean line.
    void Clear();

private:
    Output& m_output;
    bool m_enabled;
    bool m_shown = false;
};

}  // namespace vesk::host
