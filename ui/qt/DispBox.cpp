#include "ui/qt/DispBox.h"

#include "ui/common/Layout.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace quillbox::qt {

namespace {

// A character the document cannot hold as itself (a CR or LF that is not
// part of a CR LF, the document's own separators) is shown as a stand-in that
// carries the original in this property, so that reading gives it back.
constexpr int kKeptCharacter = QTextFormat::UserProperty + 1;

constexpr char16_t kLineSeparator = u'\u2028';
constexpr char16_t kParagraphSeparator = u'\u2029';
constexpr char16_t kBeginningOfFrame = u'\uFDD0';
constexpr char16_t kEndOfFrame = u'\uFDD1';
constexpr char16_t kReplacement = u'\uFFFD';

constexpr int kLinesPerParagraph = 16;

// SetText passes every character between CR and the line separator as it is.
static_assert(u'\n' < u'\r' && kLineSeparator < kParagraphSeparator && kParagraphSeparator < kBeginningOfFrame &&
              kBeginningOfFrame < kEndOfFrame);

// The stand-in for `c`, or 0 when the document keeps `c` as it is.
char16_t StandIn(char16_t c) {
  switch (c) {
    case u'\r':
    case u'\n':
    case kLineSeparator:
    case kParagraphSeparator: return kLineSeparator;  // shown as a line break
    case kBeginningOfFrame:
    case kEndOfFrame: return kReplacement;
    default: return 0;
  }
}

}  // namespace

namespace {

// The local path of a file URL, as the bytes its percent escapes spell;
// nullopt for a URL of another kind or another host.
std::optional<QByteArray> LocalPath(QByteArray url) {
  if (!url.toLower().startsWith("file:")) return std::nullopt;
  url.remove(0, 5);
  if (url.startsWith("//")) {
    const qsizetype slash = url.indexOf('/', 2);
    const QByteArray host = url.mid(2, slash < 0 ? -1 : slash - 2);
    if (slash < 0 || !(host.isEmpty() || host.toLower() == "localhost")) return std::nullopt;
    url.remove(0, slash);
  }
  if (!url.startsWith('/')) return std::nullopt;
  return QByteArray::fromPercentEncoding(url);
}

}  // namespace

std::optional<std::vector<std::filesystem::path>> DroppedFiles(const QMimeData* data) {
  if (data == nullptr) return std::nullopt;
  std::vector<std::filesystem::path> files;
  const QString uriList = QStringLiteral("text/uri-list");
  if (data->hasFormat(uriList)) {
    // Read as bytes: QUrl would turn a name that is not UTF-8 (CP932 from a
    // Windows zip, Latin-1) into U+FFFD, a file that is not there.
    for (QByteArray line : data->data(uriList).split('\n')) {
      line = line.trimmed();
      if (line.isEmpty() || line.startsWith('#')) continue;
      const std::optional<QByteArray> path = LocalPath(line);
      const QByteArray& name = path ? *path : line;
      files.emplace_back(std::string(name.constData(), static_cast<std::size_t>(name.size())));
    }
  } else if (data->hasUrls()) {
    for (const QUrl& url : data->urls()) {
      const QByteArray name = url.isLocalFile() ? QFile::encodeName(url.toLocalFile()) : url.toString().toUtf8();
      files.emplace_back(std::string(name.constData(), static_cast<std::size_t>(name.size())));
    }
  }
  if (files.empty()) return std::nullopt;
  return files;
}

bool AnswerFileDrag(QDropEvent* event) {
  if (!DroppedFiles(event->mimeData())) return false;
  const Qt::DropActions offered = event->possibleActions();
  if (offered & Qt::CopyAction) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else if (offered & Qt::LinkAction) {
    event->setDropAction(Qt::LinkAction);
    event->accept();
  } else {
    event->ignore();
  }
  return true;
}

void DispBox::dragEnterEvent(QDragEnterEvent* event) {
  if (!AnswerFileDrag(event)) QPlainTextEdit::dragEnterEvent(event);
}

void DispBox::dragMoveEvent(QDragMoveEvent* event) {
  if (!AnswerFileDrag(event)) QPlainTextEdit::dragMoveEvent(event);
}

void DispBox::dropEvent(QDropEvent* event) {
  if (!AnswerFileDrag(event)) {
    QPlainTextEdit::dropEvent(event);
    return;
  }
  if (event->isAccepted()) emit FilesDropped(*DroppedFiles(event->mimeData()));
}

DispBox::DispBox(QWidget* parent) : QPlainTextEdit(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Long lines wrap at the box's edge; the text itself keeps them whole.
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  // Tab walks the focus order, as the other controls expect.
  setTabChangesFocus(true);
  // Typing next to a stand-in must not inherit its kept character.
  connect(this, &QPlainTextEdit::cursorPositionChanged, this, &DispBox::ForgetKeptCharacter);
}

void DispBox::SetText(const Text& text) {
  setting_ = true;
  // The document takes '\n' as a paragraph break. Each position in `shown`
  // is the same position in the document, so the stand-ins are marked after.
  // Written through a pointer: appending a character at a time took a tenth
  // of a switch on a chart of 100 000 songs.
  QString shown(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
  QChar* const begin = shown.data();
  QChar* out = begin;
  // The document's cost is mostly per paragraph: 100 000 one-line paragraphs
  // take a quarter of a second to set, the same lines in groups a tenth of
  // that. Inside a group a CR LF becomes a line separator, which shows as the
  // same line break and reads back as CR LF.
  int linesInGroup = 0;
  // Document positions are int; no text the views make comes near that.
  std::vector<std::pair<int, char16_t>> kept;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    // Nearly every character lies between CR and the separators, where no
    // character needs a second look: one comparison for those.
    const bool ordinary = static_cast<char16_t>(c - (u'\r' + 1)) < kLineSeparator - (u'\r' + 1);
    if (!ordinary && c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      *out++ = ++linesInGroup % kLinesPerParagraph == 0 ? QChar(u'\n') : QChar(kLineSeparator);
      ++i;
    } else if (const char16_t standIn = ordinary ? char16_t{0} : StandIn(c)) {
      kept.emplace_back(static_cast<int>(out - begin), c);
      *out++ = QChar(standIn);
    } else {
      *out++ = QChar(c);
    }
  }
  shown.truncate(out - begin);
  setPlainText(shown);  // also drops the undo history of the previous view
  QTextCursor cursor(document());
  for (const auto& [position, original] : kept) {
    cursor.setPosition(position);
    cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setProperty(kKeptCharacter, static_cast<int>(original));
    cursor.setCharFormat(format);
  }
  if (!kept.empty()) document()->clearUndoRedoStacks();
  // Every view is read from its first line.
  moveCursor(QTextCursor::Start);
  setting_ = false;
  ForgetKeptCharacter();
}

Text DispBox::GetText() const {
  QString text;
  text.reserve(document()->characterCount());
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    if (block != document()->begin()) text += QLatin1String("\r\n");
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const QVariant kept = fragment.charFormat().property(kKeptCharacter);
      const char16_t original = kept.isValid() ? static_cast<char16_t>(kept.toInt()) : 0;
      for (const QChar c : fragment.text()) {
        if (original && c.unicode() == StandIn(original)) {
          text += QChar(original);
        } else if (c.unicode() == kLineSeparator) {
          text += QLatin1String("\r\n");  // a line break the user made
        } else {
          text += c;
        }
      }
    }
  }
  return text.toStdU16String();
}

QMenu* DispBox::CreateContextMenu(const QPoint& at) {
  QMenu* menu = createStandardContextMenu(at);
  menu->addSeparator();
  QAction* reload = menu->addAction(QString::fromUtf16(ui::kReloadMenuEntry));
  // Queued: the read and any message it brings come after the menu has closed.
  connect(reload, &QAction::triggered, this, &DispBox::ReloadRequested, Qt::QueuedConnection);
  return menu;
}

void DispBox::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu(CreateContextMenu(event->pos()));
  menu->exec(event->globalPos());
}

void DispBox::keyPressEvent(QKeyEvent* event) {
  // Shift+Enter would insert a soft line break; every typed line break is a
  // plain new line here, as it is in the copied text.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly()) {
    QTextCursor cursor = textCursor();
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    setTextCursor(cursor);
    ensureCursorVisible();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

void DispBox::mouseDoubleClickEvent(QMouseEvent* event) {
  doubleClickAt_ = event->position();
  sinceDoubleClick_.start();
  QPlainTextEdit::mouseDoubleClickEvent(event);
}

void DispBox::mousePressEvent(QMouseEvent* event) {
  const bool tripleClick = event->button() == Qt::LeftButton && sinceDoubleClick_.isValid() &&
                           sinceDoubleClick_.elapsed() < QApplication::doubleClickInterval() &&
                           (event->position() - doubleClickAt_).manhattanLength() < QApplication::startDragDistance();
  sinceDoubleClick_.invalidate();
  QPlainTextEdit::mousePressEvent(event);
  if (!tripleClick) return;
  // A triple click selects a paragraph, which holds a group of lines here;
  // users expect the one line they clicked, with its line break.
  QTextCursor cursor = cursorForPosition(event->position().toPoint());
  const QString paragraph = cursor.block().text();
  const int at = cursor.positionInBlock();
  const int begin = at == 0 ? 0 : static_cast<int>(paragraph.lastIndexOf(QChar(kLineSeparator), at - 1)) + 1;
  const int next = static_cast<int>(paragraph.indexOf(QChar(kLineSeparator), at));
  const int end = next < 0 ? static_cast<int>(paragraph.size()) : next;
  const int blockStart = cursor.block().position();
  cursor.setPosition(blockStart + begin);
  // The line break goes with the line, as with Qt's own paragraph selection.
  cursor.setPosition(std::min(blockStart + end + 1, document()->characterCount() - 1), QTextCursor::KeepAnchor);
  setTextCursor(cursor);
}

void DispBox::ForgetKeptCharacter() {
  if (setting_) return;
  // With a selection this would restyle the selected text instead.
  if (textCursor().hasSelection()) return;
  if (currentCharFormat().property(kKeptCharacter).isValid()) setCurrentCharFormat(QTextCharFormat());
}

}  // namespace quillbox::qt
