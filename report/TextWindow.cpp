#include "report/TextWindow.h"

#include <new>
#include <utility>

#include "ui/common/Layout.h"

namespace quillbox {

TextWindow::TextWindow(VersionNumbers version, std::function<std::filesystem::path()> programDirectory)
    : version_(version), programDirectory_(std::move(programDirectory)), caption_(ui::kDesignedCaption) {}

void TextWindow::SetCaption(const Text& caption) {
  log_ += "caption;";
  caption_ = caption;
}

void TextWindow::MarkFirstOption() {
  log_ += "mark;";
  marked_ = true;
}

Text TextWindow::GetDispText() {
  if (dispTooLarge_) throw std::bad_alloc();
  return disp_;
}

void TextWindow::SetDispText(const Text& text) {
  log_ += "disp;";
  disp_ = text;
}

ClipboardResult TextWindow::ReplaceClipboardText(const Text& text) {
  log_ += "replace;";
  if (clipboardResult_ == ClipboardResult::Replaced) clipboard_ = text;
  return clipboardResult_;
}

void TextWindow::ShowError(const Text& message) {
  log_ += "error;";
  errors_.push_back(message);
}

}  // namespace quillbox
