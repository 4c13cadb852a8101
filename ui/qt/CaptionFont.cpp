#include "ui/qt/CaptionFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRadioButton>
#include <QRawFont>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cmath>
#include <optional>

namespace quillbox::qt {

namespace {

// Only the font's own glyphs count. QFontMetrics::inFont will not do: for a
// kana or kanji it asks the font Qt picked for that script, a fallback.
bool DrawsAll(const QFont& font, const QString& text) {
  const QRawFont raw = QRawFont::fromFont(font);
  for (const QChar c : text) {
    if (!c.isSpace() && !raw.supportsCharacter(c)) return false;
  }
  return true;
}

bool Proportional(const QFont& font) {
  const QFontMetricsF metrics(font);
  return metrics.horizontalAdvance(QLatin1Char('i')) != metrics.horizontalAdvance(QLatin1Char('M'));
}

}  // namespace

QFont ChooseCaptionFont(const QFont& base, const QString& captions) {
  if (DrawsAll(base, captions)) return base;
  std::optional<QFont> fixedPitch;
  for (const QString& family : QFontDatabase::families(QFontDatabase::Japanese)) {
    QFont font = base;
    font.setFamilies({family});
    if (!DrawsAll(font, captions)) continue;
    // A system's UI font is proportional; a fixed-pitch one takes more room.
    if (Proportional(font)) return font;
    if (!fixedPitch) fixedPitch = font;
  }
  return fixedPitch.value_or(base);
}

namespace {

// How wide the button's caption needs the button, or the part of it that
// holds the caption, to be; and how wide that is.
struct CaptionRoom {
  int needed = 0;
  int available = 0;
};

CaptionRoom RoomFor(const QAbstractButton* button) {
  const QString caption = button->text();
  if (qobject_cast<const QRadioButton*>(button)) {
    // Up to the ink of the last character: the space after it may be cut.
    const QFontMetrics metrics = button->fontMetrics();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = caption;
    return {metrics.horizontalAdvance(caption) - (caption.isEmpty() ? 0 : metrics.rightBearing(caption.back())),
            button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width()};
  }
  return {button->sizeHint().width(), button->width()};
}

}  // namespace

bool CaptionFits(const QAbstractButton* button) {
  const CaptionRoom room = RoomFor(button);
  return room.needed <= room.available;
}

void SetCaptionFont(const QList<QAbstractButton*>& buttons, const QFont& font) {
  constexpr qreal kSmallest = 6;
  constexpr qreal kStep = 0.5;
  const qreal size = font.pointSizeF();
  // Sizes go down from `size` in half points, to the first at or below the
  // smallest; step `last` is that one. Subtracting halves is exact.
  int last = 0;
  while (size - kStep * last > kSmallest) ++last;
  for (QAbstractButton* button : buttons) {
    QFont fitted = font;
    // A button whose inherited font is the one chosen keeps inheriting it.
    if (button->font() != fitted) button->setFont(fitted);
    const CaptionRoom room = RoomFor(button);
    if (room.needed <= room.available || last == 0) continue;
    // Each size tried loads a font of its own, which is what costs. A caption
    // needs about its size's share of room and never less at a larger size,
    // so the search starts at the size that share gives and moves to the
    // largest that fits, or to the last step when none does.
    const auto fitsAt = [&](int step) {
      fitted.setPointSizeF(size - kStep * step);
      button->setFont(fitted);
      return CaptionFits(button);
    };
    const qreal share =
        room.needed > 0 ? static_cast<qreal>(std::max(room.available, 0)) / room.needed : 0;  // no room at all
    int step = std::clamp(static_cast<int>(std::ceil(size * (1 - share) / kStep)), 1, last);
    if (fitsAt(step)) {
      while (step > 1 && fitsAt(step - 1)) --step;
    } else if (step < last) {
      do ++step;
      while (step < last && !fitsAt(step));
    }
    if (fitted.pointSizeF() != size - kStep * step) {
      fitted.setPointSizeF(size - kStep * step);
      button->setFont(fitted);
    }
  }
}

}  // namespace quillbox::qt
