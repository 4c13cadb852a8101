#pragma once
// The text box that shows every view. The core's text is one string with
// CR LF line ends; the box shows each CR LF as a line break and gives
// back exactly the string it was given, typed changes aside.
#include <QElapsedTimer>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCharFormat>
#include <filesystem>
#include <optional>
#include <vector>

#include "base/Text.h"

namespace quillbox::qt {

// The files a drag carries, when it carries URLs; a URL that is not a local
// file comes back as its text, which the core refuses. A local file's path
// is the percent-decoded bytes of its URL, whatever their encoding.
std::optional<std::vector<std::filesystem::path>> DroppedFiles(const QMimeData* data);

// For a drag or drop event: false when it carries no files. When it does,
// it is accepted as a copy (or a link), never as a move, which would tell
// the source to delete the player's file; a drag offering only a move is
// refused.
bool AnswerFileDrag(QDropEvent* event);

class DispBox final : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit DispBox(QWidget* parent = nullptr);

  void SetText(const Text& text);
  Text GetText() const;
  // The box's standard context menu and, after it, the reload entry. The
  // caller owns the menu.
  QMenu* CreateContextMenu(const QPoint& at);

 signals:
  // Files dropped on the box; dropped text goes into the box as before.
  void FilesDropped(const std::vector<std::filesystem::path>& files);
  // The context menu's reload entry was chosen.
  void ReloadRequested();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
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
