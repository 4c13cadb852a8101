// The window end to end on the offscreen platform: start-up, presses and keys
// on the options, the copy button, layout, focus order, the font, and the
// start-up failures.
#include "ui/qt/Form1.h"

#include <QClipboard>
#include <QDir>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <set>
#include <stdexcept>
#include <utility>

#include "QtTestUtil.h"
#include "scores/ScoreFile.h"
#include "ui/common/Layout.h"
#include "ui/qt/CaptionFont.h"
#include "ui/qt/DispFont.h"
#include "views/Views.h"

using namespace quillbox;
using namespace quillbox::qt;
using test::Show;

namespace {

constexpr std::uint64_t kSeed = 20261207;

Songs ExampleSongs() { return LoadScoreFile(test::ExampleFile()).songs; }

Ranks FilledRanks() {
  Ranks ranks;
  InitRanks(ranks);
  return ranks;
}

PartNames FilledNames() {
  PartNames names;
  InitPartNames(names);
  return names;
}

// The text pressing option `index` shows, worked out from the table alone.
Text ExpectedView(const Songs& songs, int index) {
  ClockRandomSource random(kSeed);
  std::optional<SongPart> pick;
  switch (index) {
    case 3: return RankSummaryText(songs, FilledRanks());
    case 4: pick = DrawRandomPart(songs, random); break;
    case 5: pick = DrawWeightedPart(songs, random); break;
    default: return ChartText(songs, static_cast<ChartMode>(index));
  }
  return *PartDetailText(songs, FilledNames(), pick->song, pick->part);
}

// The window's widget for a control of the design, found through the
// window's accessors.
QWidget* WidgetOf(const Form1& form, const ui::ControlDesign& design) {
  switch (design.kind) {
    case ui::ControlKind::Radio: return form.Radio(design.option);
    case ui::ControlKind::Disp: return form.Disp();
    case ui::ControlKind::Command1: return form.Command1();
  }
  return nullptr;
}

// On the option's mark, where a press is sure to hit it.
QPoint OnMark(const QWidget* option) { return QPoint(6, option->height() / 2); }

// The rows the caption's ink takes up, from the button's top, as the style
// draws it: found on a twin taller by a margin on each side, which the style
// centres the same way but does not cut, set against one with no caption.
std::pair<int, int> InkRows(const QAbstractButton* button) {
  constexpr int kMargin = 20;
  const auto draw = [&](const QString& caption) {
    std::unique_ptr<QAbstractButton> twin;
    if (qobject_cast<const QRadioButton*>(button)) {
      twin = std::make_unique<QRadioButton>(caption);
    } else {
      twin = std::make_unique<QPushButton>(caption);
    }
    twin->setFont(button->font());
    twin->resize(button->width(), button->height() + 2 * kMargin);
    return twin->grab().toImage();
  };
  const QImage with = draw(button->text());
  const QImage without = draw(QString());
  int top = -1;
  int bottom = -1;
  for (int y = 0; y < with.height(); ++y) {
    for (int x = 0; x < with.width(); ++x) {
      if (with.pixel(x, y) == without.pixel(x, y)) continue;
      if (top < 0) top = y;
      bottom = y;
    }
  }
  return {top - kMargin, bottom - kMargin};
}

const Text kSignatureLine = u"dori-fen record chart \"quillbox!\" 0.90\r\n";

// A generator that fails, as any code under a view might.
class FailingRandom final : public RandomSource {
 public:
  void Reseed() override { throw std::runtime_error("no clock"); }
  float Draw() override { return 0; }
};

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void startUp();
  void pressRunsTheOptionsView_data();
  void pressRunsTheOptionsView();
  void failedViewIsTold_data();
  void failedViewIsTold();
  void arrowKeysMoveTheMarkOnly_data();
  void arrowKeysMoveTheMarkOnly();
  void copy_data();
  void copy();
  void linesBelowTheBoxAreReached_data();
  void linesBelowTheBoxAreReached();
  void designedWindow();
  void layout_data();
  void layout();
  void focusOrder();
  void captionsReadAlike_data();
  void captionsReadAlike();
  void captionFitTakesLargestHalfPoint_data();
  void captionFitTakesLargestHalfPoint();
  void dispFontLinesUpCharts();
  void fontCheckRejects_data();
  void fontCheckRejects();
  void loadFailures_data();
  void loadFailures();
  void emptyTable_data();
  void emptyTable();
  void japaneseLongFolder();
  void readsHscIniBesideTheProgram();

 private:
  std::unique_ptr<Form1> Open(const std::filesystem::path& file);

  test::CountingRandom* random_ = nullptr;
  QStringList errors_;
};

void Form1Test::init() {
  errors_.clear();
  random_ = new test::CountingRandom(kSeed);
}

void Form1Test::cleanup() {
  delete random_;
  random_ = nullptr;
}

std::unique_ptr<Form1> Form1Test::Open(const std::filesystem::path& file) {
  return OpenMainWindow({file, random_, [this](const QString& m) { errors_ << m; }});
}

void Form1Test::startUp() {
  const auto form = Open(test::ExampleFile());
  QVERIFY(form);
  QVERIFY(form->isVisible());
  QCOMPARE(form->windowTitle(), QString::fromUtf16(ui::kDesignedCaption) + QStringLiteral("   Ver 0.90"));
  for (int i = 0; i < Form1::kOptionCount; ++i) QCOMPARE(form->Radio(i)->isChecked(), i == 0);
  QVERIFY(form->GetDispText() == ChartText(ExampleSongs(), kHiPerfectChart));
  QCOMPARE(form->Disp()->textCursor().position(), 0);
  QVERIFY(errors_.isEmpty());
}

void Form1Test::pressRunsTheOptionsView_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<int>("how");
  // A press of each button; a double click as this Qt delivers it (press,
  // release, double-click event); the second press as other Qt versions
  // deliver it (a press and a double-click event at one time); a
  // double-click event whose press this option never saw; a left press on
  // the blank past the caption, still inside the option.
  const char* const hows[] = {"left",
                              "right",
                              "middle",
                              "double click",
                              "press and double-click event",
                              "double-click event alone",
                              "left, past the caption"};
  for (int index = 0; index < Form1::kOptionCount; ++index) {
    for (int how = 0; how < 7; ++how) QTest::addRow("option %d, %s", index, hows[how]) << index << how;
  }
}

void Form1Test::pressRunsTheOptionsView() {
  QFETCH(int, index);
  QFETCH(int, how);
  const auto form = Open(test::ExampleFile());
  QVERIFY(form);
  QVERIFY(QTest::qWaitForWindowExposed(form.get()));
  form->SetDispText(u"before");
  OptionButton* option = form->Radio(index);
  const QPoint at = how == 6 ? QPoint(option->width() - 1, option->height() / 2) : OnMark(option);
  const Qt::MouseButton button = how == 1 ? Qt::RightButton : how == 2 ? Qt::MiddleButton : Qt::LeftButton;
  const auto send = [&](QEvent::Type type) {
    QMouseEvent event(type, at, option->mapToGlobal(at), button, button, Qt::NoModifier);
    event.setTimestamp(1234567);
    QApplication::sendEvent(option, &event);
  };
  if (how == 3) {
    QTest::mouseDClick(form->windowHandle(), button, {}, option->mapTo(form.get(), at));
  } else if (how == 4) {
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonDblClick);
  } else if (how == 5) {
    send(QEvent::MouseButtonDblClick);
  } else {
    QTest::mousePress(option, button, {}, at);
    // The view is shown at the press, before any release.
    QVERIFY(form->GetDispText() == ExpectedView(ExampleSongs(), index));
    QTest::mouseRelease(option, button, {}, at);
  }
  QVERIFY2(form->GetDispText() == ExpectedView(ExampleSongs(), index), Show(form->GetDispText()).constData());
  // The picks reseed once per view: each press runs the view exactly once.
  QCOMPARE(random_->reseeds, index < 4 ? 0 : how == 3 ? 2 : 1);
  if (how == 0 || how == 3 || how == 6) QVERIFY(option->isChecked());  // a left click marks it
  QVERIFY(errors_.isEmpty());
}

void Form1Test::failedViewIsTold_data() {
  QTest::addColumn<int>("index");
  QTest::newRow("random pick") << 4;
  QTest::newRow("weighted pick") << 5;
}

void Form1Test::failedViewIsTold() {
  QFETCH(int, index);
  FailingRandom failing;
  const auto form =
      OpenMainWindow({test::ExampleFile(), &failing, [this](const QString& m) { errors_ << m; }});
  QVERIFY(form);
  form->SetDispText(u"before");
  QTest::mouseClick(form->Radio(index), Qt::LeftButton, {}, OnMark(form->Radio(index)));
  QCOMPARE(errors_, QStringList{QString::fromUtf16(u"処理を完了できませんでした。\r\nno clock\r\n\r\nもう一度お試しください。"
                                                   u"続くときは、くいるぼっくす！を起動し直してください。")});
  QVERIFY(form->GetDispText() == u"before");
  // The window goes on.
  QTest::mouseClick(form->Radio(1), Qt::LeftButton, {}, OnMark(form->Radio(1)));
  QVERIFY(form->GetDispText() == ExpectedView(ExampleSongs(), 1));
  QCOMPARE(errors_.size(), 1);
}

void Form1Test::arrowKeysMoveTheMarkOnly_data() {
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("to");
  QTest::newRow("Perfect, down") << 0 << int(Qt::Key_Down) << 1;
  QTest::newRow("Score, down") << 1 << int(Qt::Key_Down) << 2;
  QTest::newRow("Score, up") << 1 << int(Qt::Key_Up) << 0;
  QTest::newRow("Perfect, right") << 0 << int(Qt::Key_Right) << 3;
  QTest::newRow("dan, right") << 3 << int(Qt::Key_Right) << 4;
  QTest::newRow("random, down") << 4 << int(Qt::Key_Down) << 5;
}

void Form1Test::arrowKeysMoveTheMarkOnly() {
  QFETCH(int, from);
  QFETCH(int, key);
  QFETCH(int, to);
  const auto form = Open(test::ExampleFile());
  QVERIFY(form);
  form->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  form->Radio(from)->setChecked(true);
  form->Radio(from)->setFocus();
  const Text shown = form->GetDispText();
  QTest::keyClick(form->Radio(from), static_cast<Qt::Key>(key));
  QVERIFY(form->Radio(to)->isChecked());
  QVERIFY(!form->Radio(from)->isChecked());
  QVERIFY(form->GetDispText() == shown);
  QCOMPARE(random_->reseeds, 0);
}

void Form1Test::copy_data() {
  QTest::addColumn<int>("option");  // pressed before the copy; -1 empties the box
  QTest::addColumn<int>("key");     // 0: a mouse click; else the key that clicks
  QTest::newRow("hi-perfect chart") << 0 << 0;
  QTest::newRow("rank summary") << 3 << 0;
  QTest::newRow("part detail") << 4 << 0;
  QTest::newRow("empty box") << -1 << 0;
  QTest::newRow("Space") << 1 << int(Qt::Key_Space);
  QTest::newRow("Enter") << 2 << int(Qt::Key_Return);
}

void Form1Test::copy() {
  QFETCH(int, option);
  QFETCH(int, key);
  const auto form = Open(test::ExampleFile());
  QVERIFY(form);
  Text shown;
  if (option >= 0) {
    QTest::mouseClick(form->Radio(option), Qt::LeftButton, {}, OnMark(form->Radio(option)));
    shown = ExpectedView(ExampleSongs(), option);
  } else {
    form->SetDispText(u"");
  }
  // Whatever the clipboard held goes, in every format.
  auto* old = new QMimeData;
  old->setHtml(QStringLiteral("<b>old</b>"));
  old->setText(QStringLiteral("old"));
  QGuiApplication::clipboard()->setMimeData(old);

  if (key == 0) {
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
  } else {
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    form->Command1()->setFocus();
    QTest::keyClick(form->Command1(), static_cast<Qt::Key>(key));
  }
  const Text copied = QGuiApplication::clipboard()->text().toStdU16String();
  QVERIFY2(copied == shown + kSignatureLine, Show(copied).constData());
  QVERIFY(!QGuiApplication::clipboard()->mimeData()->hasHtml());
  if (option < 0) QCOMPARE(copied.size(), std::size_t{40});
  if (option == 4) QVERIFY(copied.find(u")dori-fen") != Text::npos);
}

void Form1Test::linesBelowTheBoxAreReached_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("wheel") << 0;
  QTest::newRow("Page Down") << 1;
  QTest::newRow("Ctrl+End") << 2;
}

// The box has no scroll bar: the wheel and the keys must still reach the
// lines below its lower edge, and a copy holds them whether shown or not.
void Form1Test::linesBelowTheBoxAreReached() {
  QFETCH(int, way);
  const auto form = Open(test::ExampleFile());
  QVERIFY(form);
  form->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  DispBox* box = form->Disp();
  const int lastShown = box->cursorForPosition(QPoint(2, box->viewport()->height() - 2)).position();
  box->setFocus();
  if (way == 0) {
    const QPointF at = box->viewport()->rect().center();
    QWheelEvent wheel(at, box->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -3 * 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box->viewport(), &wheel);
  } else {
    QTest::keyClick(box, way == 1 ? Qt::Key_PageDown : Qt::Key_End,
                    way == 2 ? Qt::ControlModifier : Qt::NoModifier);
  }
  // What the box shows at its lower edge now lay below it before.
  const int shownNow = box->cursorForPosition(QPoint(2, box->viewport()->height() - 2)).position();
  QVERIFY2(shownNow > lastShown, qPrintable(QStringLiteral("%1, then %2").arg(lastShown).arg(shownNow)));
  QTest::mouseClick(form->Command1(), Qt::LeftButton);
  const Text copied = QGuiApplication::clipboard()->text().toStdU16String();
  QVERIFY(copied == ExpectedView(ExampleSongs(), 0) + kSignatureLine);
}

void Form1Test::designedWindow() {
  Form1 form({test::ExampleFile(), random_, {}});
  QCOMPARE(form.windowTitle(), QString::fromUtf16(ui::kDesignedCaption));
  QCOMPARE(form.size(), QSize(ui::kClientWidthTwips / 15, ui::kClientHeightTwips / 15));
  QCOMPARE(form.minimumSize(), form.maximumSize());
  QCOMPARE(form.Disp()->toPlainText(), QString());
  // The Windows icon's images: every size a desktop asks for, 32-bit colour.
  for (const int size : {16, 24, 32, 48, 256}) {
    QVERIFY(form.windowIcon().availableSizes().contains(QSize(size, size)));
    const QImage image(QStringLiteral(":/quillbox/quillbox-%1.png").arg(size));
    QCOMPARE(image.size(), QSize(size, size));
    QVERIFY2(image.hasAlphaChannel() && image.depth() == 32, "32-bit colour with transparency");
    // The icon decodes its images only when asked: it must give these.
    QCOMPARE(form.windowIcon().pixmap(QSize(size, size), 1.0).toImage(), QPixmap::fromImage(image).toImage());
  }
}

void Form1Test::layout_data() {
  QTest::addColumn<int>("control");  // in ui::kControls
  for (std::size_t i = 0; i < ui::kControls.size(); ++i) {
    const ui::ControlDesign& design = ui::kControls[i];
    const QString name =
        design.kind == ui::ControlKind::Disp ? QStringLiteral("Disp") : QString::fromUtf16(design.caption);
    QTest::newRow(qPrintable(name)) << static_cast<int>(i);
  }
}

// Each control where the design puts it, at 15 twips to the pixel, with its
// caption as written.
void Form1Test::layout() {
  QFETCH(int, control);
  const ui::ControlDesign& design = ui::kControls[static_cast<std::size_t>(control)];
  Form1 form({test::ExampleFile(), random_, [this](const QString& m) { errors_ << m; }});
  QWidget* widget = WidgetOf(form, design);
  const QRect pixels(design.left / 15, design.top / 15, design.width / 15, design.height / 15);
  QCOMPARE(QRect(widget->mapTo(&form, QPoint()), widget->size()), pixels);
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    QCOMPARE(button->text().replace(QStringLiteral("&&"), QStringLiteral("&")),
             QString::fromUtf16(design.caption));
    QVERIFY(button->shortcut().isEmpty());
  } else {
    QCOMPARE(design.kind, ui::ControlKind::Disp);
  }
}

void Form1Test::focusOrder() {
  const auto form = Open(test::ExampleFile());
  QVERIFY(form);
  form->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  QList<QWidget*> expected;
  for (const ui::ControlDesign& design : ui::kControls) expected << WidgetOf(*form, design);
  QList<QWidget*> chain;
  QWidget* w = form->Radio(0);
  do {
    if (expected.contains(w)) chain << w;
    w = w->nextInFocusChain();
  } while (w != form->Radio(0) && chain.size() < 20);
  QCOMPARE(chain, expected);
  // As on Windows, the option group is one Tab stop, at its marked option;
  // the text box passes Tab on instead of typing it.
  for (const int marked : {0, 2, 4}) {
    form->Radio(marked)->setChecked(true);
    form->Radio(marked)->setFocus();
    const QList<QWidget*> stops{form->Radio(marked), form->Disp(), form->Command1(), form->Radio(marked)};
    QList<QWidget*> walked{QApplication::focusWidget()};
    for (int i = 1; i < stops.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      walked << QApplication::focusWidget();
    }
    QCOMPARE(walked, stops);
  }
}

void Form1Test::captionsReadAlike_data() {
  QTest::addColumn<QString>("family");  // the desktop's default font
  QTest::addColumn<qreal>("points");
  QTest::addColumn<bool>("hasJapanese");
  QTest::newRow("Latin default") << QStringLiteral("DejaVu Sans") << 9.0 << false;
  QTest::newRow("Japanese default") << QStringLiteral("IPAPGothic") << 9.0 << true;
  // Too large for some captions: those alone get smaller. 11 points is a
  // common desktop default.
  QTest::newRow("Latin 11 points") << QStringLiteral("DejaVu Sans") << 11.0 << false;
  QTest::newRow("large Japanese default") << QStringLiteral("IPAPGothic") << 14.0 << true;
  QTest::newRow("Japanese 18 points") << QStringLiteral("IPAPGothic") << 18.0 << true;
}

void Form1Test::captionsReadAlike() {
  QFETCH(QString, family);
  QFETCH(qreal, points);
  QFETCH(bool, hasJapanese);
  if (!QFontDatabase::families().contains(family)) QSKIP("font not installed");
  const QFont before = QApplication::font();
  const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
  QApplication::setFont(QFont(family, qRound(points)));
  Form1 form({test::ExampleFile(), random_, {}});
  QList<QAbstractButton*> buttons{form.Command1()};
  for (int i = 0; i < Form1::kOptionCount; ++i) buttons << form.Radio(i);
  const QString used = QFontInfo(buttons.first()->font()).family();
  if (hasJapanese) {
    QCOMPARE(used, family);
  } else {
    QVERIFY2(used != family, qPrintable(used));
    QVERIFY(QFontDatabase::writingSystems(used).contains(QFontDatabase::Japanese));
  }
  bool shrunk = false;
  for (const QAbstractButton* button : buttons) {
    QVERIFY2(CaptionFits(button), qPrintable(button->text()));
    // Nothing of the caption is cut at the top or the bottom.
    const auto [top, bottom] = InkRows(button);
    QVERIFY2(top >= 0 && bottom < button->height(),
             qPrintable(QStringLiteral("%1: ink in rows %2 to %3 of %4")
                            .arg(button->text())
                            .arg(top)
                            .arg(bottom)
                            .arg(button->height())));
    QCOMPARE(QFontInfo(button->font()).family(), used);
    const qreal size = button->font().pointSizeF();
    if (size != points) {
      QVERIFY2(size < points, qPrintable(button->text()));
      shrunk = true;
    }
  }
  // At the designed size a caption may lose half a point to fit the height.
  if (points > 9) QVERIFY(shrunk);
}

void Form1Test::captionFitTakesLargestHalfPoint_data() {
  QTest::addColumn<qreal>("points");
  for (const qreal points : {9.0, 10.0, 11.0, 12.5, 14.0, 18.0, 30.0}) QTest::newRow(qPrintable(QString::number(points))) << points;
}

// Each caption ends at the first size, going down in half points from the
// chosen one, at which it fits; at the first at or below 6 points when none does.
void Form1Test::captionFitTakesLargestHalfPoint() {
  QFETCH(qreal, points);
  Form1 form({test::ExampleFile(), random_, {}});
  QList<QAbstractButton*> buttons{form.Command1()};
  for (int i = 0; i < Form1::kOptionCount; ++i) buttons << form.Radio(i);
  QFont font = buttons.first()->font();
  font.setPointSizeF(points);
  SetCaptionFont(buttons, font);
  Form1 walked({test::ExampleFile(), random_, {}});
  QList<QAbstractButton*> walkedButtons{walked.Command1()};
  for (int i = 0; i < Form1::kOptionCount; ++i) walkedButtons << walked.Radio(i);
  bool shrunk = false;
  for (qsizetype i = 0; i < buttons.size(); ++i) {
    QFont step = font;
    walkedButtons[i]->setFont(step);
    while (!CaptionFits(walkedButtons[i]) && step.pointSizeF() > 6) {
      step.setPointSizeF(step.pointSizeF() - 0.5);
      walkedButtons[i]->setFont(step);
    }
    QCOMPARE(buttons[i]->font().pointSizeF(), step.pointSizeF());
    shrunk |= step.pointSizeF() != points;
  }
  if (points > 9) QVERIFY(shrunk);
}

void Form1Test::dispFontLinesUpCharts() {
  Form1 form({test::ExampleFile(), random_, {}});
  QVERIFY(form.Form_Load());
  const QFont font = form.Disp()->font();
  QCOMPARE(font.pointSize(), 9);
  QCOMPARE(font.weight(), QFont::Normal);
  QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
  // Every character the views write from the demo table: ASCII has one
  // advance, everything else (kana, kanji, full-width signs) twice that.
  const Songs songs = ExampleSongs();
  std::set<char16_t> used;
  for (int view = 0; view < 4; ++view) {
    for (const char16_t c : ExpectedView(songs, view)) used.insert(c);
  }
  const Text detail = *PartDetailText(songs, FilledNames(), 1, 1);
  used.insert(detail.begin(), detail.end());
  const QFontMetricsF metrics(font);
  const qreal half = metrics.horizontalAdvance(QLatin1Char('0'));
  QVERIFY(half > 0);
  for (const char16_t c : used) {
    if (c == u'\r' || c == u'\n') continue;
    const qreal expected = c < 0x80 ? half : 2 * half;
    QVERIFY2(
        metrics.horizontalAdvance(QChar(c)) == expected,
        qPrintable(QStringLiteral("U+%1 in %2").arg(int(c), 4, 16, QLatin1Char('0')).arg(font.family())));
  }
  // The first of the design's faces that is installed and lines up, and no
  // substitute for it; the system's fixed-pitch font when there is none.
  QStringList faces;
  for (const char16_t* face : ui::kDispFontFaces) faces << QString::fromUtf16(face);
  QString first;
  for (const QString& family : faces) {
    QFont candidate(family, 9);
    candidate.setStyleHint(QFont::TypeWriter);
    if (QFontDatabase::families().contains(family) && LinesUpCharts(candidate)) {
      first = family;
      break;
    }
  }
  if (first.isEmpty()) {
    QCOMPARE(font.family(), QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
  } else {
    QCOMPARE(font.family(), first);
    QVERIFY2(faces.contains(QFontInfo(font).family()), qPrintable(QFontInfo(font).family()));
  }
}

void Form1Test::fontCheckRejects_data() {
  QTest::addColumn<QString>("family");
  QTest::addColumn<bool>("linesUp");
  QTest::newRow("proportional Latin") << QStringLiteral("DejaVu Sans") << false;
  QTest::newRow("monospace without Japanese") << QStringLiteral("DejaVu Sans Mono") << false;
  QTest::newRow("proportional Japanese") << QStringLiteral("IPAPGothic") << false;
  QTest::newRow("fixed-pitch Japanese") << QStringLiteral("IPAGothic") << true;
}

void Form1Test::fontCheckRejects() {
  QFETCH(QString, family);
  QFETCH(bool, linesUp);
  if (!QFontDatabase::families().contains(family)) QSKIP("font not installed");
  QCOMPARE(LinesUpCharts(QFont(family, 9)), linesUp);
}

void Form1Test::loadFailures_data() {
  QTest::addColumn<QByteArray>("bytes");  // empty: hsc.ini is a directory; "-": there is none
  QTest::addColumn<int>("kind");
  QTest::addColumn<QString>("lineText");
  QTest::newRow("missing") << QByteArray("-") << int(LoadErrorKind::FileError) << QString();
  QTest::newRow("a directory") << QByteArray() << int(LoadErrorKind::FileError) << QString();
  QTest::newRow("part digit 9") << QByteArray("x\\\r\nHPR9=5\r\n") << int(LoadErrorKind::PartOutOfRange)
                                << QStringLiteral("HPR9=5");
  QTest::newRow("rank digit 4") << QByteArray("x\\\r\nPR41=5\r\n") << int(LoadErrorKind::RankOutOfRange)
                                << QStringLiteral("PR41=5");
  QTest::newRow("value out of range") << QByteArray("x\\\r\nHPR1=256\r\n")
                                      << int(LoadErrorKind::ValueOutOfRange) << QStringLiteral("HPR1=256");
  QTest::newRow("header starting with backslash")
      << QByteArray("\\abc\r\n") << int(LoadErrorKind::NoTitle) << QStringLiteral("\\abc");
}

void Form1Test::loadFailures() {
  QFETCH(QByteArray, bytes);
  QFETCH(int, kind);
  QFETCH(QString, lineText);
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("hsc.ini"));
  if (bytes.isEmpty()) {
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("hsc.ini")));
  } else if (bytes != "-") {
    QVERIFY(test::WriteFile(path, bytes));
  }
  const LoadResult direct = LoadScoreFile(test::PathFromQString(path));
  QVERIFY(direct.error);
  QCOMPARE(int(direct.error->kind), kind);

  const auto form = Open(test::PathFromQString(path));
  QVERIFY(!form);
  QCOMPARE(errors_.size(), 1);
  QCOMPARE(errors_.first(), QString::fromStdU16String(DescribeLoadErrorJa(*direct.error)));
  QVERIFY2(errors_.first().contains(path), qPrintable(errors_.first()));
  if (!lineText.isEmpty()) QVERIFY2(errors_.first().contains(lineText), qPrintable(errors_.first()));
  for (const QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!w->isVisible());
}

void Form1Test::emptyTable_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("empty file") << QByteArray();
  QTest::newRow("key lines without a header") << QByteArray("HPR1=5\r\nHPs1=3\r\n");
}

void Form1Test::emptyTable() {
  QFETCH(QByteArray, bytes);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("hsc.ini"));
  QVERIFY(test::WriteFile(path, bytes));
  const auto form = Open(test::PathFromQString(path));
  QVERIFY(form);
  const Songs empty;
  QVERIFY(form->GetDispText() == ChartText(empty, kHiPerfectChart));
  for (int index = 0; index < Form1::kOptionCount; ++index) {
    form->SetDispText(u"kept");
    QTest::mouseClick(form->Radio(index), Qt::LeftButton, {}, OnMark(form->Radio(index)));
    const Text shown = form->GetDispText();
    if (index < 3) {
      QVERIFY(shown == ChartText(empty, static_cast<ChartMode>(index)));
    } else if (index == 3) {
      QVERIFY(shown == RankSummaryText(empty, FilledRanks()));
      QCOMPARE(QString::fromStdU16String(shown).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size(), 9);
    } else {
      QVERIFY2(shown == u"kept", Show(shown).constData());
    }
  }
  QVERIFY(errors_.isEmpty());
}

void Form1Test::japaneseLongFolder() {
  QTemporaryDir base;
  QString folder = base.path();
  // Past the 260 characters old Windows programs choke on.
  for (int i = 0; i < 6; ++i)
    folder += QString::fromUtf16(u"/くいるぼっくす スコア フォルダ ") + QString::number(i) +
              QStringLiteral(" with spaces and some length");
  QVERIFY(folder.size() > 260);
  QVERIFY(QDir().mkpath(folder));
  const QString path = folder + QStringLiteral("/hsc.ini");
  QVERIFY(QFile::copy(QString::fromStdString(test::ExampleFile().string()), path));
  const auto form = Open(test::PathFromQString(path));
  QVERIFY2(form, errors_.isEmpty() ? "" : qPrintable(errors_.first()));
  QVERIFY(form->GetDispText() == ChartText(ExampleSongs(), kHiPerfectChart));
}

void Form1Test::readsHscIniBesideTheProgram() {
  const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/hsc.ini");
  if (QFile::exists(expected)) QSKIP("an hsc.ini lies beside the test program");
  QVERIFY(!OpenMainWindow({std::nullopt, random_, [this](const QString& m) { errors_ << m; }}));
  QCOMPARE(errors_.size(), 1);
  QVERIFY2(errors_.first().contains(expected), qPrintable(errors_.first()));
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
