// quillbox_startup_probe SCOREFILE: the program's start-up as ui/qt/main.cpp
// does it, reading SCOREFILE; prints the monotonic time at which the window
// was first painted and exits.
#include <QApplication>
#include <cstdio>

#include "bench/qt/ShownReport.h"
#include "ui/qt/Application.h"
#include "ui/qt/Form1.h"
#include "ui/qt/QtTranslations.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fputs("usage: quillbox_startup_probe SCOREFILE\n", stderr);
    return 2;
  }
  // Taken before QApplication, which removes the arguments it knows.
  quillbox::qt::Form1Options options;
  options.scoreFile = std::filesystem::path(argv[1]);
  // A failed load must not wait on a message box no one will close.
  options.showError = [](const QString& message) { std::fprintf(stderr, "%s\n", qPrintable(message)); };

  quillbox::qt::Application app(argc, argv);
  quillbox::qt::LoadQtTranslations(app);
  QApplication::setApplicationName(QStringLiteral("quillbox"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quillbox"));
  quillbox::bench::ReportWhenShown(app);
  const auto window = quillbox::qt::OpenMainWindow(std::move(options));
  if (!window) return 1;
  return QApplication::exec();
}
