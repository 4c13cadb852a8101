// window_probe [CAPTION]: the yardsticks for start-up. Without an argument an
// empty Qt window of the program's size; with one, the same window showing
// CAPTION, which adds what font set-up and a Japanese font cost but none of
// the program's work. Prints the monotonic time of the first paint and exits.
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "bench/qt/ShownReport.h"

int main(int argc, char* argv[]) {
  // Taken before QApplication, which removes the arguments it knows.
  const QString caption = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  quillbox::bench::ReportWhenShown(app);
  QWidget window;
  window.setFixedSize(553, 396);
  if (!caption.isEmpty()) (new QLabel(caption, &window))->move(96, 8);
  window.show();
  return QApplication::exec();
}
