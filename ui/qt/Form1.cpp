#include "ui/qt/Form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QShortcut>
#include <utility>

#include "core/ProgramDirectory.h"
#include "core/Version.h"
#include "ui/common/Layout.h"
#include "ui/qt/Application.h"
#include "ui/qt/CaptionFont.h"
#include "ui/qt/DispFont.h"
#include "ui/qt/WindowIcon.h"

namespace quillbox::qt {

namespace {

// The layout is designed in twips; at 96 dots per inch a pixel is 15 twips,
// and Qt scales logical pixels on denser screens.
constexpr int kTwipsPerPixel = ui::kTwipsPerInch / 96;

constexpr int Px(int twips) { return twips / kTwipsPerPixel; }

QRect Pixels(const ui::ControlDesign& design) {
  return QRect(Px(design.left), Px(design.top), Px(design.width), Px(design.height));
}

// What a screen reader says for the text box and the options' group.
constexpr char16_t kDispName[] = u"レポート";
constexpr char16_t kDispDescription[] =
    u"選んだ表示の内容です。「クリップボードへコピー」ボタンで、この内容をクリップボードにコピーできます。";
constexpr char16_t kOptionPanelName[] = u"表示";

// Every length of the design is a whole number of pixels.
constexpr bool WholePixels(int twips) { return twips % kTwipsPerPixel == 0; }
constexpr bool WholePixels() {
  for (const ui::ControlDesign& c : ui::kControls) {
    if (!WholePixels(c.left) || !WholePixels(c.top) || !WholePixels(c.width) || !WholePixels(c.height)) {
      return false;
    }
  }
  return WholePixels(ui::kClientWidthTwips) && WholePixels(ui::kClientHeightTwips);
}
static_assert(WholePixels());

QString Q(const Text& text) { return QString::fromStdU16String(text); }

// A button caption as shown: setText would make a character after '&' an
// access key; none of ours has one, and none should get one.
QString Caption(const char16_t* text) { return QString::fromUtf16(text).replace(u'&', QStringLiteral("&&")); }

// The mouse event's shift state as the core's event takes it: 1 Shift,
// 2 Ctrl, 4 Alt. The button values (1 left, 2 right, 4 middle) already agree.
std::int16_t ShiftState(Qt::KeyboardModifiers modifiers) {
  return static_cast<std::int16_t>((modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) |
                                   (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) |
                                   (modifiers.testFlag(Qt::AltModifier) ? 4 : 0));
}

// Qt describes a plain top-level QWidget as a client area, which screen
// readers do not take for an application window, and a plain QWidget as
// nothing at all; these two say what they are.
QAccessibleInterface* AccessibleFactory(const QString& key, QObject* object) {
  if (key == QLatin1String(Form1::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  }
  if (key == QLatin1String(OptionPanel::staticMetaObject.className())) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
  }
  return nullptr;
}

}  // namespace

OptionButton::OptionButton(const QString& caption, std::int16_t index, QWidget* parent)
    : QRadioButton(caption, parent), index_(index) {}

void OptionButton::mousePressEvent(QMouseEvent* event) {
  unreleasedPress_ = event->timestamp();
  // The button takes the press first: should the view bring up a message
  // box, which takes the release, losing the focus lets the button up again.
  QRadioButton::mousePressEvent(event);
  emit MouseDown(index_, event->button(), event->modifiers(), event->position());
}

bool OptionButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void OptionButton::mouseReleaseEvent(QMouseEvent* event) {
  unreleasedPress_.reset();
  QRadioButton::mouseReleaseEvent(event);
}

void OptionButton::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click arrives as this event, or, with some
  // Qt versions, as a press followed by this event at the same time; either
  // way it is one press, reported once. The base class would pass this event
  // on to mousePressEvent.
  if (unreleasedPress_ == event->timestamp()) {
    event->accept();
    return;
  }
  mousePressEvent(event);
}

Form1::Form1(Options options)
    : QWidget(nullptr),
      ownRandom_(options.random ? nullptr : std::make_unique<ClockRandomSource>()),
      showError_(std::move(options.showError)),
      app_(*this, options.random ? *options.random : *ownRandom_, std::move(options.scoreFile)) {
  // Before any interface is asked for: Qt keeps the first one it makes.
  static const bool accessibleInstalled = (QAccessible::installFactory(AccessibleFactory), true);
  static_cast<void>(accessibleInstalled);
  setWindowTitle(QString::fromUtf16(ui::kDesignedCaption));
  // The platform picks the size it needs.
  setWindowIcon(WindowIcon());
  // The layout does not adapt, so the window keeps its designed size.
  setFixedSize(Px(ui::kClientWidthTwips), Px(ui::kClientHeightTwips));
  setAcceptDrops(true);
  CreateControls();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) { AnswerFileDrag(event); }

void Form1::dragMoveEvent(QDragMoveEvent* event) { AnswerFileDrag(event); }

void Form1::dropEvent(QDropEvent* event) {
  if (AnswerFileDrag(event) && event->isAccepted()) DropFiles(*DroppedFiles(event->mimeData()));
}

void Form1::DropFiles(const std::vector<std::filesystem::path>& files) {
  // After the drop has finished: a message shown inside it would keep the
  // drag source waiting until it is closed, and a Wayland compositor takes
  // a drop that lasts that long as failed.
  pendingDrop_ = files;
  QMetaObject::invokeMethod(this, "RunPendingDrop", Qt::QueuedConnection);
}

void Form1::RunPendingDrop() {
  const std::vector<std::filesystem::path> files = std::exchange(pendingDrop_, {});
  if (!files.empty()) Guard([&] { app_.Form_DropFiles(files); });
}

void Form1::Reload() {
  Guard([this] { app_.Form_Reload(); });
}

Form1::~Form1() = default;

// Each event the core handles is guarded here, where it leaves Qt's code,
// so that no exception unwinds through Qt's frames.
template <typename Operation>
void Form1::Guard(Operation operation) {
  qt::Guard(operation, [this](const QString& message) { Tell(message); });
}

void Form1::CreateControls() {
  QRect panelPlace;
  for (int i = 0; i < kOptionCount; ++i) panelPlace |= Pixels(ui::OptionDesign(i));
  optionPanel_ = new OptionPanel(this);
  optionPanel_->setGeometry(panelPlace);
  optionPanel_->setAccessibleName(QString::fromUtf16(kOptionPanelName));
  radioGroup_ = new QButtonGroup(this);
  radioGroup_->setExclusive(true);
  // Made in the options' own order, which screen readers tell; the focus
  // order is set below.
  for (int i = 0; i < kOptionCount; ++i) {
    const auto index = static_cast<std::int16_t>(i);
    const ui::ControlDesign& design = ui::OptionDesign(i);
    auto* option = new OptionButton(Caption(design.caption), index, optionPanel_);
    option->setGeometry(Pixels(design).translated(-panelPlace.topLeft()));
    radioGroup_->addButton(option, i);
    // Only the press runs a view; the button's own toggled and clicked
    // signals stay unconnected, so the arrow keys only move the mark.
    connect(option, &OptionButton::MouseDown, this,
            [this](std::int16_t at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF pos) {
              Guard([&] {
                app_.Radio_MouseDown(at, static_cast<std::int16_t>(button), ShiftState(modifiers),
                                     static_cast<float>(pos.x()), static_cast<float>(pos.y()));
              });
            });
    radio_[static_cast<std::size_t>(i)] = option;
  }

  disp_ = new DispBox(this);
  disp_->setGeometry(Pixels(ui::DispDesign()));
  disp_->setFont(ChooseDispFont());
  disp_->setAccessibleName(QString::fromUtf16(kDispName));
  disp_->setAccessibleDescription(QString::fromUtf16(kDispDescription));
  connect(disp_, &DispBox::FilesDropped, this, &Form1::DropFiles);
  connect(disp_, &DispBox::ReloadRequested, this, &Form1::Reload);
  // F5 anywhere in the window, whichever control has the focus.
  auto* reload = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(reload, &QShortcut::activated, this, &Form1::Reload);

  command1_ = new QPushButton(Caption(ui::Command1Design().caption), this);
  command1_->setGeometry(Pixels(ui::Command1Design()));
  QList<QAbstractButton*> captioned(radio_.begin(), radio_.end());
  captioned << command1_;
  QString captions;
  for (const QAbstractButton* button : captioned) captions += button->text();
  SetCaptionFont(captioned, ChooseCaptionFont(font(), captions));
  // clicked covers the mouse and the keyboard alike; auto-default lets Enter
  // click the button when it has the focus, as Space does.
  command1_->setAutoDefault(true);
  connect(command1_, &QPushButton::clicked, this, [this] { Guard([this] { app_.Command1_Click(); }); });

  // The design's order, in which PlayCount comes before Score.
  std::array<QWidget*, ui::kControls.size()> order{};
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = Control(ui::kControls[i]);
  for (std::size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

QWidget* Form1::Control(const ui::ControlDesign& design) const {
  switch (design.kind) {
    case ui::ControlKind::Radio: return Radio(design.option);
    case ui::ControlKind::Disp: return disp_;
    case ui::ControlKind::Command1: return command1_;
  }
  return nullptr;
}

bool Form1::Form_Load() {
  bool loaded = false;
  Guard([&] { loaded = app_.Form_Load(); });
  return loaded;
}

Text Form1::GetCaption() { return windowTitle().toStdU16String(); }

void Form1::SetCaption(const Text& caption) { setWindowTitle(Q(caption)); }

VersionNumbers Form1::ProgramVersion() {
  return {static_cast<std::int16_t>(build::kVersionMajor), static_cast<std::int16_t>(build::kVersionMinor)};
}

void Form1::MarkFirstOption() { radio_[0]->setChecked(true); }

Text Form1::GetDispText() { return disp_->GetText(); }

void Form1::SetDispText(const Text& text) { disp_->SetText(text); }

// Qt cannot tell whether the system clipboard was had, so only the copy of
// the text can fail. setText replaces every format the clipboard held.
ClipboardResult Form1::ReplaceClipboardText(const Text& text) {
  try {
    QGuiApplication::clipboard()->setText(Q(text), QClipboard::Clipboard);
  } catch (const std::bad_alloc&) {
    return ClipboardResult::OutOfMemory;
  }
  return ClipboardResult::Replaced;
}

// From the system as the bytes it holds: Qt's path goes through UTF-8 and
// loses a folder whose name is in another encoding, such as code page 932.
std::filesystem::path Form1::ProgramDirectory() { return ProgramDirectoryFromSystem(); }

void Form1::ShowError(const Text& message) { Tell(Q(message)); }

void Form1::Tell(const QString& message) {
  if (showError_) {
    showError_(message);
    return;
  }
  QMessageBox::critical(isVisible() ? this : nullptr, windowTitle(), message);
}

std::unique_ptr<Form1> OpenMainWindow(Form1::Options options) {
  auto form = std::make_unique<Form1>(std::move(options));
  if (!form->Form_Load()) return nullptr;
  form->show();
  return form;
}

}  // namespace quillbox::qt
