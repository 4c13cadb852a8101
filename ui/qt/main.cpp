// quillbox: the window. Start-up reads hsc.ini beside the program; when that
// fails, the message is shown and the program ends with status 1.
#include <cstdio>
#include <cstdlib>

#include <QClipboard>

#include "ui/qt/Application.h"
#include "ui/qt/Form1.h"
#include "ui/qt/QtTranslations.h"

int main(int argc, char* argv[]) {
  quillbox::qt::Application app(argc, argv);
  quillbox::qt::LoadQtTranslations(app);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  const auto window = quillbox::qt::OpenMainWindow();
  const int status = window ? QApplication::exec() : 1;
  // On X11 a copied report outlives the program only if Qt hands it to a
  // clipboard manager while it is taken down, so there, while quillbox owns
  // the clipboard, the program ends the ordinary way.
  if (QGuiApplication::platformName() == QLatin1String("xcb") && QGuiApplication::clipboard()->ownsClipboard()) {
    return status;
  }
  // Otherwise it ends here without taking Qt down: it keeps nothing to save,
  // and with Qt 6.4 on Wayland the teardown can wait forever on the
  // display's event thread, leaving a process with no window behind.
  static_cast<void>(std::fflush(nullptr));  // a failure would have nowhere to go
  std::_Exit(status);
}
