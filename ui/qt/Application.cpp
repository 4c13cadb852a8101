#include "ui/qt/Application.h"

#include <QMessageBox>
#include <QScopedValueRollback>
#include <QWidget>
#include <utility>

namespace quillbox::qt {

QString UnfinishedMessage(const char* what) {
  QString message = QString::fromUtf16(u"処理を完了できませんでした。");
  if (what != nullptr && *what != '\0') message += u'\n' + QString::fromUtf8(what);
  return message;
}

Application::Application(int& argc, char** argv, Tell tell)
    : QApplication(argc, argv), tell_(std::move(tell)) {}

bool Application::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guard([&] { handled = QApplication::notify(receiver, event); },
        [this](const QString& message) { TellFailure(message); });
  return handled;
}

void Application::TellFailure(const QString& message) {
  // The message box runs its own event loop; a handler that fails on every
  // event (a paint, say) would otherwise stack up boxes without end.
  if (telling_) return;
  const QScopedValueRollback<bool> telling(telling_, true);
  if (tell_) {
    tell_(message);
  } else {
    QWidget* const over = QApplication::activeWindow();
    QMessageBox::critical(over, over != nullptr ? over->windowTitle() : QApplication::applicationName(),
                          message);
  }
}

}  // namespace quillbox::qt
