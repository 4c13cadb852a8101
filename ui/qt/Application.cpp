#include "ui/qt/Application.h"

#include <QMessageBox>
#include <QScopedValueRollback>
#include <QWidget>
#include <utility>

#include "core/App.h"

namespace quillbox::qt {

QString UnfinishedMessage(const char* what) {
  const Text text = AppMessageText(AppMessage::Unfinished, what != nullptr ? FromUtf8(what) : Text());
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
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
