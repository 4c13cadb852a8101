#pragma once
// The one window: six view options, the text box and the copy button. It
// implements the core's window operations and passes each event to the core;
// every text it shows and every decision comes from there.
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/App.h"
#include "ui/common/Layout.h"
#include "ui/qt/DispBox.h"

namespace quillbox::qt {

// A view option whose mouse presses, of any button, are reported as they
// happen, before the release; the button's own click does nothing here.
class OptionButton final : public QRadioButton {
  Q_OBJECT

 public:
  OptionButton(const QString& caption, std::int16_t index, QWidget* parent);

 signals:
  void MouseDown(std::int16_t index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  // The whole option, as a press anywhere on it runs its view.
  bool hitButton(const QPoint& pos) const override;

 private:
  std::int16_t index_;
  std::optional<quint64> unreleasedPress_;  // time of a press not yet released
};

// Gathers the view options so that a screen reader tells them as one group
// of choices; it draws nothing and leaves each option where it was placed.
class OptionPanel final : public QWidget {
  Q_OBJECT

 public:
  using QWidget::QWidget;
};

struct Form1Options {
  // Read instead of hsc.ini in the program's directory.
  std::optional<std::filesystem::path> scoreFile;
  // The picks' generator; the clock-seeded one when null. Not owned.
  RandomSource* random = nullptr;
  // Where failures are told; a modal message box when empty.
  std::function<void(const QString& message)> showError;
};

class Form1 final : public QWidget, public WindowOps {
  Q_OBJECT

 public:
  using Options = Form1Options;

  static constexpr int kOptionCount = ui::kOptionCount;

  explicit Form1(Options options = {});
  ~Form1() override;

  // The window's load: start-up through the core. False when the score file
  // could not be loaded (the message has been shown).
  bool Form_Load();

  OptionButton* Radio(int index) const { return radio_.at(static_cast<std::size_t>(index)); }
  DispBox* Disp() const { return disp_; }
  // F5 and the text box's menu entry: hsc.ini read again through the core.
  void Reload();
  QPushButton* Command1() const { return command1_; }

  // WindowOps
  Text GetCaption() override;
  void SetCaption(const Text& caption) override;
  VersionNumbers ProgramVersion() override;
  void MarkFirstOption() override;
  Text GetDispText() override;
  void SetDispText(const Text& text) override;
  ClipboardResult ReplaceClipboardText(const Text& text) override;
  std::filesystem::path ProgramDirectory() override;
  void ShowError(const Text& message) override;

 protected:
  // Score files dropped anywhere on the window go to the core.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Hands dropped files to the core once the drop event has returned.
  void DropFiles(const std::vector<std::filesystem::path>& files);
  Q_INVOKABLE void RunPendingDrop();
  void CreateControls();
  // The widget made from `design`, one of ui::kControls.
  QWidget* Control(const ui::ControlDesign& design) const;
  // Runs one of the core's operations; an exception it throws is shown.
  template <typename Operation>
  void Guard(Operation operation);
  void Tell(const QString& message);

  std::unique_ptr<ClockRandomSource> ownRandom_;
  std::function<void(const QString&)> showError_;
  std::array<OptionButton*, kOptionCount> radio_{};
  OptionPanel* optionPanel_ = nullptr;
  QButtonGroup* radioGroup_ = nullptr;
  DispBox* disp_ = nullptr;
  QPushButton* command1_ = nullptr;
  std::vector<std::filesystem::path> pendingDrop_;  // dropped, not yet read
  App app_;
};

// Creates the window, runs its load and shows it. Null when loading failed;
// the message has then been shown and the window never appeared.
std::unique_ptr<Form1> OpenMainWindow(Form1::Options options = {});

}  // namespace quillbox::qt
