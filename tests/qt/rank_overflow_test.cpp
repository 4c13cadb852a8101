// A table whose rank sums leave 32 bits: the view says so and the text box
// keeps what it showed.
#include <QTemporaryDir>
#include <QtTest>

#include "QtTestUtil.h"
#include "ui/qt/Form1.h"

using namespace quillbox;
using namespace quillbox::qt;

class RankOverflowTest : public QObject {
  Q_OBJECT

 private slots:
  void overflowIsReportedAndTextKept();
};

void RankOverflowTest::overflowIsReportedAndTextKept() {
  // Each song adds 3060 to the overall line (4 front parts once, 4 back
  // parts twice, all 255): 701800 songs pass 2^31 - 1.
  constexpr int kSongs = 701800;
  QByteArray song("x\\\r\n");
  for (int part = 1; part <= 8; ++part) song += "HPR" + QByteArray::number(part) + "=255\r\n";
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString path = dir.filePath(QStringLiteral("hsc.ini"));
  QVERIFY(test::WriteFile(path, song.repeated(kSongs)));

  // Like a message box: a window of its own takes the focus, and the mouse
  // release with it, until it is closed.
  QStringList errors;
  const auto tell = [&](const QString& m) {
    errors << m;
    QWidget box;
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
  };
  const auto form = OpenMainWindow({test::PathFromQString(path), nullptr, tell});
  QVERIFY(form);
  QVERIFY(errors.isEmpty());
  form->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  // A short text, not the chart of 700000 rows, keeps the test quick.
  form->SetDispText(u"kept\r\n");
  QTest::mousePress(form->Radio(3), Qt::LeftButton, {}, QPoint(6, form->Radio(3)->height() / 2));
  QVERIFY2(!form->Radio(3)->isDown(), "the option is not left pressed");
  QCOMPARE(errors.size(), 1);
  QVERIFY2(errors.first().contains(QString::fromUtf16(u"段位")), qPrintable(errors.first()));
  QVERIFY(form->GetDispText() == u"kept\r\n");
}

QTEST_MAIN(RankOverflowTest)
#include "rank_overflow_test.moc"
