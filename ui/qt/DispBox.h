#pragma once
// The text box that shows every view. The core's text is one string with
// CR LF line ends; the box shows each CR LF as a line break and gives
// back exactly the string it was given, typed changes aside.
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextCharFormat>

#include "base/Text.h"

namespace quillbox::qt {

class DispBox final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit DispBox(QWidget* parent = nullptr);

  void SetText(const Text& text);
  Text GetText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void ForgetKeptCharacter();

  bool setting_ = false;
  // Where and when the last double click was, to tell a triple click.
  QPointF doubleClickAt_;
  QElapsedTimer sinceDoubleClick_;
};

}  // namespace quillbox::qt
