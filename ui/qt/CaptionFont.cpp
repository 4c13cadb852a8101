#include "ui/qt/CaptionFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRadioButton>
#include <QRawFont>
#include <QStyle>
#include <QStyleOptionButton>
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

bool CaptionFits(const QAbstractButton* button) {
  const QString caption = button->text();
  // Up to the ink of the last character: the space after it may be cut.
  const QFontMetrics metrics = button->fontMetrics();
  const int needed =
      metrics.horizontalAdvance(caption) - (caption.isEmpty() ? 0 : metrics.rightBearing(caption.back()));
  if (qobject_cast<const QRadioButton*>(button)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = caption;
    return needed <= button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
  }
  return button->sizeHint().width() <= button->width();
}

void SetCaptionFont(const QList<QAbstractButton*>& buttons, const QFont& font) {
  constexpr qreal kSmallest = 6;
  for (QAbstractButton* button : buttons) {
    QFont fitted = font;
    // A button whose inherited font is the one chosen keeps inheriting it.
    if (button->font() != fitted) button->setFont(fitted);
    while (!CaptionFits(button) && fitted.pointSizeF() > kSmallest) {
      fitted.setPointSizeF(fitted.pointSizeF() - 0.5);
      button->setFont(fitted);
    }
  }
}

}  // namespace quillbox::qt
