#pragma once
// A window that is only text: the caption, the text box and the clipboard
// are strings, and a message is kept instead of shown. The report tool runs
// the app through it; the tests use it to watch what the app asks of a window.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/WindowOps.h"

namespace quillbox {

class TextWindow final : public WindowOps {
 public:
  // `programDirectory` is asked only when the app wants hsc.ini beside the
  // program: a run given its score file never looks the program up.
  TextWindow(VersionNumbers version, std::function<std::filesystem::path()> programDirectory);

  Text GetCaption() override { return caption_; }
  void SetCaption(const Text& caption) override;
  VersionNumbers ProgramVersion() override { return version_; }
  void MarkFirstOption() override;
  Text GetDispText() override;
  void SetDispText(const Text& text) override;
  ClipboardResult ReplaceClipboardText(const Text& text) override;
  std::filesystem::path ProgramDirectory() override { return programDirectory_(); }
  void ShowError(const Text& message) override;

  const Text& caption() const { return caption_; }
  bool marked() const { return marked_; }
  const Text& disp() const { return disp_; }
  const Text& clipboard() const { return clipboard_; }
  // Every message the window would have shown, in order.
  const std::vector<Text>& errors() const { return errors_; }

  // The operations that act on the window, in the order called:
  // "caption;", "mark;", "disp;", "replace;" (tried, busy or not), "error;".
  const std::string& log() const { return log_; }
  void ClearLog() { log_.clear(); }

  // What another program left on the clipboard.
  void SetClipboard(const Text& text) { clipboard_ = text; }
  // How replacing the clipboard's text goes from now on: Busy when another
  // program holds it, OutOfMemory when its copy cannot be had.
  void SetClipboardResult(ClipboardResult result) { clipboardResult_ = result; }
  // Reading the text box runs out of memory, as a huge text might.
  void SetDispTooLarge(bool tooLarge) { dispTooLarge_ = tooLarge; }

 private:
  VersionNumbers version_;
  std::function<std::filesystem::path()> programDirectory_;
  Text caption_;
  bool marked_ = false;
  Text disp_;
  Text clipboard_;
  ClipboardResult clipboardResult_ = ClipboardResult::Replaced;
  bool dispTooLarge_ = false;
  std::vector<Text> errors_;
  std::string log_;
};

}  // namespace quillbox
