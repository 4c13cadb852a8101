// text_window_probe: a second yardstick for start-up, the least any window
// of Japanese text pays: the empty window with one Japanese caption. Font
// set-up and the Japanese font are in its time, the program's work is not.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "bench/qt/ShownReport.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  quillbox::bench::ReportWhenShown(app);
  QWidget window;
  window.setFixedSize(553, 396);
  QLabel caption(QString::fromUtf16(u"段位"), &window);
  caption.move(96, 8);
  window.show();
  return QApplication::exec();
}
