#pragma once
// Failures that escape the core: an exception must never leave through Qt,
// which cannot pass it on and would end the program without a word. The user
// is told instead, and the program goes on.
#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace quillbox::qt {

// What the user is told when an operation ended in an exception; `what` is
// the exception's own text, null when it has none.
QString UnfinishedMessage(const char* what);

// Runs `operation`; an exception leaving it is told through `tell`.
template <typename Operation, typename Tell>
void Guard(Operation&& operation, Tell&& tell) {
  try {
    operation();
  } catch (const std::exception& error) {
    tell(UnfinishedMessage(error.what()));
  } catch (...) {
    tell(UnfinishedMessage(nullptr));
  }
}

// The program's application object: the last guard, around every event, for
// what the window's own guards do not cover.
class Application final : public QApplication {
 public:
  using Tell = std::function<void(const QString& message)>;

  // `tell` shows a failure; a modal message box when empty.
  Application(int& argc, char** argv, Tell tell = {});

  // A failed event counts as not handled.
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void TellFailure(const QString& message);

  Tell tell_;
  bool telling_ = false;
};

}  // namespace quillbox::qt
