// empty_window_probe: the yardstick for start-up, an empty Qt window of the
// program's size; prints the monotonic time at which it was first painted
// and exits.
#include <QApplication>
#include <QWidget>

#include "bench/qt/ShownReport.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  quillbox::bench::ReportWhenShown(app);
  QWidget window;
  window.setFixedSize(553, 396);
  window.show();
  return QApplication::exec();
}
