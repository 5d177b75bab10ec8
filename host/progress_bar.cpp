#include "progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <iostream>

#include <fmt/format.h>

namespace vesk::host {

ProgressBar::ProgressBar(Output& output)
    : m_output(output),
      m_enabled(!output.quiet && &output.err == &std::cerr && ::isatty(STDERR_FILENO) == 1) {}

void ProgressBar::Show(long done, long total, const std::string& label) {
    if (!m_enabled || total <= 0) {
        return;
    }
    constexpr long kWidth = 30;
    long filled = std::clamp(kWidth * done / total, 0L, kWidth);
    m_output.err << fmt::format("\r\033[K[{:<{}}] {}/{} {}",
                                std::string(static_cast<std::size_t>(filled), '#'), kWidth, done,
                                total, label)
                 << std::flush;
    m_shown = true;
}

void ProgressBar::Clear() {
    if (m_shown) {
        m_output.err << "\r\033[K" << std::flush;
        m_shown = false;
    }
}

}  // namespace vesk::host
