#include "ui/qt/CaptionFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRadioButton>
#include <QRawFont>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtMath>
#include <optional>

#include "ui/common/CaptionFit.h"

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

bool CaptionFits(const QAbstractButton* button) {
  const QString caption = button->text();
  const bool radio = qobject_cast<const QRadioButton*>(button) != nullptr;
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = caption;
  const QRect contents = button->style()->subElementRect(
      radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, button);
  if (radio) {
    // Up to the ink of the last character: the space after it may be cut.
    const QFontMetrics whole = button->fontMetrics();
    const int needed =
        whole.horizontalAdvance(caption) - (caption.isEmpty() ? 0 : whole.rightBearing(caption.back()));
    if (needed > contents.width()) return false;
  } else if (button->sizeHint().width() > button->width()) {
    return false;
  }
  // Both styles centre the line (ascent over descent) in that part and clip
  // what goes past it; glyphs rarely fill the line, so only their ink counts.
  const QFontMetricsF metrics(button->font());
  const QRectF ink = metrics.tightBoundingRect(caption);
  if (ink.isEmpty()) return true;
  const qreal line = metrics.ascent() + metrics.descent();
  const int baseline = qRound(contents.top() + (contents.height() - line) / 2 + metrics.ascent());
  return baseline + qFloor(ink.top()) >= contents.top() &&
         baseline + qCeil(ink.bottom()) <= contents.bottom() + 1;
}

void SetCaptionFont(const QList<QAbstractButton*>& buttons, const QFont& font) {
  constexpr qreal kSmallest = 6;
  constexpr qreal kStep = 0.5;
  for (QAbstractButton* button : buttons) {
    QFont fitted = font;
    // A button whose inherited font is the one chosen keeps inheriting it.
    if (button->font() != fitted) button->setFont(fitted);
    const qreal size = ui::FittingSize(font.pointSizeF(), kStep, kSmallest, [&](qreal points) {
      if (fitted.pointSizeF() != points) {
        fitted.setPointSizeF(points);
        button->setFont(fitted);
      }
      return CaptionFits(button);
    });
    if (fitted.pointSizeF() != size) {
      fitted.setPointSizeF(size);
      button->setFont(fitted);
    }
  }
}

}  // namespace quillbox::qt
