#pragma once
// For the start-up probes: tells the benchmark that started this process the
// moment its window was first painted.
#include <QApplication>

namespace quillbox::bench {

// Once the first top-level window has been painted, writes the monotonic
// clock (std::chrono::steady_clock, in nanoseconds) to stdout as one line and
// ends the process at once. Call before any window is shown.
void ReportWhenShown(QApplication& app);

}  // namespace quillbox::bench
