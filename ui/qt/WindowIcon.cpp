#include "ui/qt/WindowIcon.h"

#include <QIconEngine>
#include <QList>
#include <QPainter>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

// The images are compiled into this static library, which must register them.
static void InitResources() { Q_INIT_RESOURCE(quillbox); }

namespace quillbox::qt {

namespace {

constexpr std::array<int, 5> kSizes{16, 24, 32, 48, 256};

// Answers for the sizes itself and hands everything else to an icon made
// from the image files the first time it is needed.
class DeferredIconEngine final : public QIconEngine {
 public:
  DeferredIconEngine() = default;

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }

  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }

  // The caller's QIcon has already allowed for the screen's pixel ratio.
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, 1.0, mode, state);
  }

  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    // The files were added for the normal mode and the off state only.
    if (mode != QIcon::Normal || state != QIcon::Off) return {};
    QList<QSize> sizes;
    for (const int size : kSizes) sizes << QSize(size, size);
    return sizes;
  }

  bool isNull() override { return false; }

  QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

 private:
  DeferredIconEngine(const DeferredIconEngine& other) : QIconEngine(other), icon_(other.icon_) {}

  const QIcon& Icon() {
    if (!icon_) {
      icon_.emplace();
      for (const int size : kSizes) {
        icon_->addFile(QStringLiteral(":/quillbox/quillbox-%1.png").arg(size), QSize(size, size));
      }
    }
    return *icon_;
  }

  std::optional<QIcon> icon_;
};

}  // namespace

QIcon WindowIcon() {
  InitResources();
  return QIcon(new DeferredIconEngine);
}

}  // namespace quillbox::qt
