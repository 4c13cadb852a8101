// quillbox: the window. Start-up reads hsc.ini beside the program; when that
// fails, the message is shown and the program ends with status 1.
#include "ui/qt/Application.h"
#include "ui/qt/Form1.h"

int main(int argc, char* argv[]) {
  quillbox::qt::Application app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  const auto window = quillbox::qt::OpenMainWindow();
  if (!window) return 1;
  return QApplication::exec();
}
