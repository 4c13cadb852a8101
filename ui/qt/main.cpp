// quillbox: the window. Start-up reads hsc.ini beside the program; when that
// fails, the message is shown and the program ends with status 1.
#include <cstdio>
#include <cstdlib>

#include "ui/qt/Application.h"
#include "ui/qt/Form1.h"

int main(int argc, char* argv[]) {
  quillbox::qt::Application app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  const auto window = quillbox::qt::OpenMainWindow();
  const int status = window ? QApplication::exec() : 1;
  // The program ends here without taking Qt down. It keeps nothing to save
  // (the one thing skipped is Qt's hand-over of copied text to an X11
  // clipboard manager that asks only at exit), and with Qt 6.4 on Wayland
  // the teardown can wait forever on the display's event thread, leaving a
  // process with no window behind.
  static_cast<void>(std::fflush(nullptr));  // a failure would have nowhere to go
  std::_Exit(status);
}
