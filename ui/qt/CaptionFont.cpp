#include "ui/qt/CaptionFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRadioButton>
#include <QRawFont>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtMath>
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

// How much room the button's caption needs, across and down, and how much
// the part of the button that holds it gives.
struct CaptionRoom {
  int neededWidth = 0;
  int availableWidth = 0;
  int neededHeight = 0;
  int availableHeight = 0;
  // Where the caption's ink reaches above and below that part, in pixels;
  // positive when it is cut there.
  int overTop = 0;
  int overBottom = 0;

  // Room enough, wherever the caption is placed in it.
  bool Suffices() const { return neededWidth <= availableWidth && neededHeight <= availableHeight; }
  bool Fits() const { return neededWidth <= availableWidth && overTop <= 0 && overBottom <= 0; }
};

CaptionRoom RoomFor(const QAbstractButton* button) {
  const QString caption = button->text();
  const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
  const QFontMetricsF metrics(button->font());
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = caption;
  const QRect contents = button->style()->subElementRect(
      radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, button);
  CaptionRoom room;
  if (radio) {
    // Up to the ink of the last character: the space after it may be cut.
    const QFontMetrics whole = button->fontMetrics();
    room.neededWidth =
        whole.horizontalAdvance(caption) - (caption.isEmpty() ? 0 : whole.rightBearing(caption.back()));
    room.availableWidth = contents.width();
  } else {
    room.neededWidth = button->sizeHint().width();
    room.availableWidth = button->width();
  }
  // Both styles centre the line (ascent over descent) in that part and clip
  // what goes past it; glyphs rarely fill the line, so only their ink counts.
  const QRectF ink = metrics.tightBoundingRect(caption);
  if (ink.isEmpty()) return room;
  const qreal line = metrics.ascent() + metrics.descent();
  const int baseline = qRound(contents.top() + (contents.height() - line) / 2 + metrics.ascent());
  room.neededHeight = qCeil(ink.height());
  room.availableHeight = contents.height();
  room.overTop = contents.top() - (baseline + qFloor(ink.top()));
  room.overBottom = baseline + qCeil(ink.bottom()) - (contents.bottom() + 1);
  return room;
}

}  // namespace

bool CaptionFits(const QAbstractButton* button) { return RoomFor(button).Fits(); }

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
    if (room.Fits() || last == 0) continue;
    // Each size tried loads a font of its own, which is what costs. A caption
    // needs about its size's share of room across and down, and never less
    // at a larger size, so the search starts at the size that share gives
    // and moves to the largest whose room suffices. Where the line's rounding
    // puts the ink is no such rule: from there it goes down to the first size
    // that fits, or to the last step when none does.
    const auto roomAt = [&](int step) {
      fitted.setPointSizeF(size - kStep * step);
      button->setFont(fitted);
      return RoomFor(button);
    };
    const auto shareOf = [](int available, int needed) {
      return needed > 0 ? static_cast<qreal>(std::max(available, 0)) / needed : 1;
    };
    const qreal share = std::min(shareOf(room.availableWidth, room.neededWidth),
                                 shareOf(room.availableHeight, room.neededHeight));
    int step = std::clamp(static_cast<int>(std::ceil(size * (1 - share) / kStep)), 1, last);
    if (roomAt(step).Suffices()) {
      while (step > 1 && roomAt(step - 1).Suffices()) --step;
    } else {
      while (step < last && !roomAt(step + 1).Suffices()) ++step;
      if (step < last) ++step;
    }
    while (step < last && !roomAt(step).Fits()) ++step;
    if (fitted.pointSizeF() != size - kStep * step) {
      fitted.setPointSizeF(size - kStep * step);
      button->setFont(fitted);
    }
  }
}

}  // namespace quillbox::qt
