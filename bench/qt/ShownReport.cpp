#include "bench/qt/ShownReport.h"

#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace quillbox::bench {

namespace {

// An event filter rather than QTest::qWaitForWindowExposed, which polls and
// would round the time up to its polling step. A window's first paint starts
// with the Paint event of its top-level widget; the children and the flush
// to the screen follow in the same pass, so a call queued at that event runs
// once the window is on screen.
class ShownFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!queued_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      queued_ = true;
      QMetaObject::invokeMethod(this, &ShownFilter::Report, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  static void Report() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
    std::fflush(stdout);
    // Closing the window is no part of start-up, and the benchmark waits for
    // the process to end before it starts the next.
    std::_Exit(0);
  }

  bool queued_ = false;
};

}  // namespace

void ReportWhenShown(QApplication& app) { app.installEventFilter(new ShownFilter(&app)); }

}  // namespace quillbox::bench
