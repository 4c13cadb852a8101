#pragma once
// The font of the options' and the button's captions. The layout was
// designed around a 9-point Japanese system font; the captions must read
// alike, and each must fit its control, which may not grow.
#include <QAbstractButton>
#include <QFont>
#include <QList>
#include <QString>

namespace quillbox::qt {

// `base` when it draws every character of `captions` with its own glyphs;
// otherwise an installed Japanese family, proportional where there is one,
// at `base`'s size and weight. Falling back glyph by glyph would set the
// Japanese in another font than the Latin, and a caption shrunk to fit would
// then stand out among the rest.
QFont ChooseCaptionFont(const QFont& base, const QString& captions);

// True when the button's caption is drawn whole within the button.
bool CaptionFits(const QAbstractButton* button);

// Gives every button `font`, then to each whose caption would still be cut
// off the largest half-point size of it at which the caption fits, or the
// first at or below 6 points when none does.
void SetCaptionFont(const QList<QAbstractButton*>& buttons, const QFont& font);

}  // namespace quillbox::qt
