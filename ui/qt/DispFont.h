#pragma once
// The text box's font: the charts line up their columns with blanks, so every
// half-width character must have one advance and a Japanese character two.
#include <QFont>
#include <QStringList>

namespace quillbox::qt {

// ui::kDispFontFaces, tried in this order; the first installed family that
// passes the width check is used.
QStringList DispFontFamilies();

// True when every half-width character the views write has the same advance
// in `font` and a Japanese character has exactly twice that.
bool LinesUpCharts(const QFont& font);

// The first family of DispFontFamilies() that is installed and lines up the
// charts, at 9 points; the system's fixed-pitch font at 9 points when none is.
QFont ChooseDispFont();

}  // namespace quillbox::qt
