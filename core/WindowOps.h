#pragma once
// What the core needs from a window: the platform operations and nothing
// else. Each front (Qt, Win32, the headless report tool) implements this.
#include <filesystem>

#include "base/Text.h"

namespace quillbox {

struct VersionNumbers {
  std::int16_t major = 0;
  std::int16_t minor = 0;
};

enum class ClipboardResult {
  Replaced,
  Busy,         // another program holds the clipboard
  OutOfMemory,  // the text's memory could not be had; the clipboard is untouched
};

class WindowOps {
 public:
  virtual ~WindowOps() = default;

  virtual Text GetCaption() = 0;
  virtual void SetCaption(const Text& caption) = 0;
  virtual VersionNumbers ProgramVersion() = 0;
  // Marks option 0 of the view options as chosen, without running a view.
  virtual void MarkFirstOption() = 0;
  virtual Text GetDispText() = 0;
  virtual void SetDispText(const Text& text) = 0;
  // Empties the clipboard of every format and puts `text` on it as plain
  // text, as one operation that holds nothing open when it returns. Says
  // why it failed, since the user's next step differs: wait for the program
  // that holds the clipboard, or free memory.
  virtual ClipboardResult ReplaceClipboardText(const Text& text) = 0;
  virtual std::filesystem::path ProgramDirectory() = 0;
  // A failure the user must hear about: a score file that cannot be loaded,
  // a view that cannot be built, a busy clipboard.
  virtual void ShowError(const Text& message) = 0;
};

}  // namespace quillbox
