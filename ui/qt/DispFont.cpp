#include "ui/qt/DispFont.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include "ui/common/Layout.h"

namespace quillbox::qt {

namespace {

constexpr int kPointSize = 9;

// Every half-width character the chart, rank and detail texts are made of.
const QString& HalfWidthSample() {
  static const QString sample =
      QStringLiteral(" 0123456789+-|:/().,ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return sample;
}

// Kana, kanji and full-width signs as they appear in titles and rank names.
const QString& FullWidthSample() {
  static const QString sample = QString::fromUtf16(u"あア星段位表裏！（）");
  return sample;
}

}  // namespace

QStringList DispFontFamilies() {
  QStringList families;
  for (const char16_t* face : ui::kDispFontFaces) families << QString::fromUtf16(face);
  return families;
}

bool LinesUpCharts(const QFont& font) {
  const QFontMetricsF metrics(font);
  const qreal half = metrics.horizontalAdvance(HalfWidthSample().at(0));
  if (half <= 0) return false;
  for (const QChar c : HalfWidthSample()) {
    if (metrics.horizontalAdvance(c) != half) return false;
  }
  for (const QChar c : FullWidthSample()) {
    // Fallback fonts fill in glyphs the family lacks, so the glyph must be
    // the family's own.
    if (!metrics.inFont(c) || metrics.horizontalAdvance(c) != 2 * half) return false;
  }
  return true;
}

QFont ChooseDispFont() {
  const QStringList installed = QFontDatabase::families();
  for (const QString& family : DispFontFamilies()) {
    if (!installed.contains(family)) continue;
    QFont font(family, kPointSize);
    font.setStyleHint(QFont::TypeWriter);
    if (LinesUpCharts(font)) return font;
  }
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kPointSize);
  return font;
}

}  // namespace quillbox::qt
