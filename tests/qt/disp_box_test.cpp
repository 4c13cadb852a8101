// The text box keeps the core's text exactly, CR LF and stray line ends
// included, shows each CR LF as a line, and wraps without scroll bars.
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include "QtTestUtil.h"
#include "ui/qt/DispBox.h"

using quillbox::Decimal;
using quillbox::Text;
using quillbox::qt::DispBox;
using quillbox::qt::test::Show;

Q_DECLARE_METATYPE(Text)

class DispBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void roundTrip_data();
  void roundTrip();
  void typing_data();
  void typing();
  void longLinesWrapWithoutScrollBars();
  void tripleClickSelectsTheLine_data();
  void tripleClickSelectsTheLine();
};

// `count` chart rows, enough of them to fill more than one group of lines.
Text Rows(int count) {
  Text text;
  for (int i = 0; i < count; ++i) text += u"| " + Decimal(i) + u" |  曲\r\n";
  return text;
}

void DispBoxTest::roundTrip_data() {
  QTest::addColumn<Text>("text");
  QTest::addColumn<int>("lines");  // lines the box shows, long lines unwrapped
  QTest::newRow("empty") << Text() << 1;
  QTest::newRow("chart ending in CR LF") << Text(u"+---+\r\n| 1 |  曲\r\n+---+\r\n") << 4;
  QTest::newRow("no final CR LF") << Text(u"a\r\nb") << 2;
  QTest::newRow("part detail ending in )") << Text(u"3 : 曲 / TOPAZ\r\n\r\n  1 : 912345(87)") << 3;
  QTest::newRow("only CR LF") << Text(u"\r\n\r\n") << 3;
  // Characters the document cannot hold show as a line break too.
  QTest::newRow("lone LF") << Text(u"a\nb") << 2;
  QTest::newRow("lone CR") << Text(u"a\rb") << 2;
  QTest::newRow("LF CR") << Text(u"a\n\rb") << 3;
  QTest::newRow("CR before CR LF") << Text(u"a\r\r\nb") << 3;
  QTest::newRow("LF before CR LF") << Text(u"\n\r\n") << 3;
  QTest::newRow("lone CR and LF at the ends") << Text(u"\ra\r\nb\n") << 4;
  QTest::newRow("separators of the document") << Text(u"a\u2028b\u2029c\uFDD0d\uFDD1e") << 3;
  QTest::newRow("tab, no-break space, surrogates") << Text(u"\t\u00A0x\U0001F3B5\r\n") << 2;
  QTest::newRow("many rows") << Rows(40) << 41;
  QTest::newRow("lone LF and separator between many rows")
      << Rows(15) + u"\n\r\n\u2028" + Rows(17) + u"\r" << 37;
}

void DispBoxTest::roundTrip() {
  QFETCH(Text, text);
  QFETCH(int, lines);
  DispBox box;
  box.SetText(text);
  QVERIFY2(box.GetText() == text, Show(box.GetText()).constData());
  // toPlainText gives every break the box shows as '\n'.
  QCOMPARE(box.document()->toPlainText().count(QLatin1Char('\n')) + 1, lines);
  // Setting it again gives the same, not a doubled conversion.
  box.SetText(box.GetText());
  QVERIFY2(box.GetText() == text, Show(box.GetText()).constData());
}

void DispBoxTest::typing_data() {
  QTest::addColumn<Text>("text");
  QTest::addColumn<int>("position");  // where the cursor is put, in the box
  QTest::addColumn<QString>("keys");  // '\n' Enter, '^' Shift+Enter, '<' Backspace
  QTest::addColumn<Text>("expected");
  QTest::newRow("append a line") << Text(u"ab\r\ncd") << 5 << QStringLiteral("x\ny")
                                 << Text(u"ab\r\ncdx\r\ny");
  QTest::newRow("Shift+Enter is a new line") << Text(u"ab") << 1 << QStringLiteral("^") << Text(u"a\r\nb");
  QTest::newRow("typing after a lone LF") << Text(u"a\nb") << 2 << QStringLiteral("Z^") << Text(u"a\nZ\r\nb");
  QTest::newRow("typing before a lone CR")
      << Text(u"a\rb") << 1 << QStringLiteral("^Z") << Text(u"a\r\nZ\rb");
  QTest::newRow("deleting a lone LF") << Text(u"a\nb") << 2 << QStringLiteral("<") << Text(u"ab");
  QTest::newRow("joining two lines") << Text(u"a\r\nb") << 2 << QStringLiteral("<") << Text(u"ab");
  // Rows(40): rows 0-9 are 10 characters with their CR LF (9 in the box,
  // where the break is one), rows 10-39 are 11 (10 in the box).
  const Text rows = Rows(40);
  QTest::newRow("new line inside many rows")
      << rows << 21 << QStringLiteral("\n") << rows.substr(0, 23) + u"\r\n" + rows.substr(23);
  QTest::newRow("joining rows inside a group")
      << rows << 5 * 9 << QStringLiteral("<") << rows.substr(0, 48) + rows.substr(50);
  QTest::newRow("joining rows across groups")
      << rows << 10 * 9 + 6 * 10 << QStringLiteral("<") << rows.substr(0, 164) + rows.substr(166);
}

void DispBoxTest::typing() {
  QFETCH(Text, text);
  QFETCH(int, position);
  QFETCH(QString, keys);
  QFETCH(Text, expected);
  DispBox box;
  box.SetText(text);
  QTextCursor cursor = box.textCursor();
  cursor.setPosition(position);
  box.setTextCursor(cursor);
  for (const QChar key : keys) {
    if (key == QLatin1Char('\n')) {
      QTest::keyClick(&box, Qt::Key_Return);
    } else if (key == QLatin1Char('^')) {
      QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
    } else if (key == QLatin1Char('<')) {
      QTest::keyClick(&box, Qt::Key_Backspace);
    } else {
      QTest::keyClick(&box, key.toLatin1());
    }
  }
  QVERIFY2(box.GetText() == expected, Show(box.GetText()).constData());
}

void DispBoxTest::longLinesWrapWithoutScrollBars() {
  DispBox box;
  box.setGeometry(0, 0, 553, 305);
  Text text(400, u'x');
  for (int i = 0; i < 200; ++i) text += u"\r\nline";
  box.SetText(text);
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  const QTextBlock first = box.document()->firstBlock();
  QVERIFY(first.layout() != nullptr && first.layout()->lineCount() > 0);
  QVERIFY2(first.layout()->lineAt(0).textLength() < 400, "a long line wraps at the box's edge");
  QVERIFY(!box.verticalScrollBar()->isVisible());
  QVERIFY(!box.horizontalScrollBar()->isVisible());
  QVERIFY2(box.GetText() == text, "wrapping leaves the text one line");
}

// How a selection shows a line break, of either kind.
const QChar kSelectedBreak(0x2029);

void DispBoxTest::tripleClickSelectsTheLine_data() {
  QTest::addColumn<QString>("clicked");  // text at the start of the line
  QTest::addColumn<QString>("selected");
  QTest::newRow("first") << QStringLiteral("| 0 |") << QStringLiteral("| 0 |  曲") + kSelectedBreak;
  QTest::newRow("inside a group") << QStringLiteral("| 3 |") << QStringLiteral("| 3 |  曲") + kSelectedBreak;
  QTest::newRow("last of a group") << QStringLiteral("| 15 |") << QStringLiteral("| 15 |  曲") + kSelectedBreak;
  QTest::newRow("first of the next group")
      << QStringLiteral("| 16 |") << QStringLiteral("| 16 |  曲") + kSelectedBreak;
  QTest::newRow("last, without a break") << QStringLiteral("end") << QStringLiteral("end");
}

void DispBoxTest::tripleClickSelectsTheLine() {
  QFETCH(QString, clicked);
  QFETCH(QString, selected);
  DispBox box;
  box.setGeometry(0, 0, 553, 305);
  box.SetText(Rows(19) + u"end");
  box.show();
  QVERIFY(QTest::qWaitForWindowExposed(&box));
  const QTextCursor line = box.document()->find(clicked);
  QVERIFY(!line.isNull());
  const QPoint at = box.cursorRect(line).center();
  QTest::mouseDClick(box.viewport(), Qt::LeftButton, {}, at);
  QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, at);
  QCOMPARE(box.textCursor().selectedText().replace(QChar(0x2028), kSelectedBreak), selected);
}

QTEST_MAIN(DispBoxTest)
#include "disp_box_test.moc"
