// Score files dropped on the window, on its frame and on the text box: the
// text shown is the report tool's own output for the same files.
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <memory>

#include "QtTestUtil.h"
#include "ui/qt/Form1.h"

using namespace quillbox;
using namespace quillbox::qt;

namespace {

// The demo file with its first part's hi-perfect lower: a backup from before.
QByteArray Backup() {
  QFile demo(QString::fromStdString(test::ExampleFile().string()));
  if (!demo.open(QIODevice::ReadOnly)) return {};
  QByteArray bytes = demo.readAll();
  const qsizetype at = bytes.indexOf("HPR1=82");
  return at < 0 ? QByteArray() : bytes.replace(at, 7, "HPR1=70");
}

// What `quillbox-report ARGS` prints, as the text box would hold it.
QString ReportOutput(const QStringList& args) {
  QProcess report;
  report.start(QStringLiteral(QUILLBOX_REPORT), args);
  if (!report.waitForFinished(60000) || report.exitCode() != 0) return QStringLiteral("(report tool failed)");
  return QString::fromUtf8(report.readAllStandardOutput());
}

// A drag of `mime` entering, moving over and dropped on `target` at its middle.
bool Drop(QWidget* target, QMimeData* mime) {
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDragMoveEvent move(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &move);
  QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return enter.isAccepted() && drop.isAccepted();
}

}  // namespace

class DropTest final : public QObject {
  Q_OBJECT

 private slots:
  void drop_data();
  void drop();
  void droppedTextGoesIntoTheBox();
};

void DropTest::drop_data() {
  QTest::addColumn<bool>("onDisp");
  QTest::addColumn<QStringList>("files");  // in the test's folder
  QTest::addColumn<QString>("error");      // a part of the one message; empty: none
  for (const bool onDisp : {false, true}) {
    const char* where = onDisp ? "disp" : "window";
    QTest::addRow("%s: one backup", where) << onDisp << QStringList{QStringLiteral("backup.ini")} << QString();
    // Dropped newest first: shown oldest first, then the loaded file.
    QTest::addRow("%s: three backups", where)
        << onDisp << QStringList{QStringLiteral("b.ini"), QStringLiteral("c.ini"), QStringLiteral("backup.ini")}
        << QString();
    QTest::addRow("%s: a bad file", where)
        << onDisp << QStringList{QStringLiteral("backup.ini"), QStringLiteral("bad.ini")} << QStringLiteral("行: 2");
    QTest::addRow("%s: a folder", where) << onDisp << QStringList{QStringLiteral("folder")}
                                         << QStringLiteral("フォルダーやファイルでないもの");
  }
}

void DropTest::drop() {
  QFETCH(bool, onDisp);
  QFETCH(QStringList, files);
  QFETCH(QString, error);
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QVERIFY(test::WriteFile(dir.filePath(QStringLiteral("backup.ini")), Backup()));
  QVERIFY(test::WriteFile(dir.filePath(QStringLiteral("bad.ini")), "[a\\]\nHPR9=5\n"));
  QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
  QVERIFY(QFile::copy(dir.filePath(QStringLiteral("backup.ini")), dir.filePath(QStringLiteral("c.ini"))));
  QVERIFY(QFile::copy(QString::fromStdString(test::ExampleFile().string()), dir.filePath(QStringLiteral("b.ini"))));
  const auto now = std::filesystem::file_time_type::clock::now();
  int hoursAgo = 3;
  for (const char* name : {"backup.ini", "c.ini", "b.ini"}) {
    std::filesystem::last_write_time(test::PathFromQString(dir.filePath(QLatin1String(name))),
                                     now - std::chrono::hours(hoursAgo--));
  }

  QStringList errors;
  const auto form = OpenMainWindow({test::ExampleFile(), nullptr, [&](const QString& m) { errors << m; }});
  QVERIFY(form);
  const Text before = form->GetDispText();
  QList<QUrl> urls;
  for (const QString& file : files) urls << QUrl::fromLocalFile(dir.filePath(file));
  auto* mime = new QMimeData;  // the events only borrow it
  const std::unique_ptr<QMimeData> owned(mime);
  mime->setUrls(urls);
  QVERIFY(Drop(onDisp ? form->Disp()->viewport() : static_cast<QWidget*>(form.get()), mime));

  QVERIFY(form->Radio(0)->isChecked());
  if (error.isEmpty()) {
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0)));
    const QString loaded = QString::fromStdString(test::ExampleFile().string());
    const QStringList args = files.size() == 1
                                 ? QStringList{QStringLiteral("compare"), dir.filePath(files.first()), loaded}
                                 : QStringList{QStringLiteral("history"), dir.filePath(QStringLiteral("backup.ini")),
                                               dir.filePath(QStringLiteral("c.ini")),
                                               dir.filePath(QStringLiteral("b.ini")), loaded};
    QCOMPARE(QString::fromStdU16String(form->GetDispText()), ReportOutput(args));
  } else {
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(error), qPrintable(errors.first()));
    QVERIFY(form->GetDispText() == before);
  }
}

void DropTest::droppedTextGoesIntoTheBox() {
  const auto form = OpenMainWindow({test::ExampleFile(), nullptr, [](const QString&) {}});
  QVERIFY(form);
  QMimeData mime;
  mime.setText(QStringLiteral("dropped words"));
  QVERIFY(Drop(form->Disp()->viewport(), &mime));
  QVERIFY(QString::fromStdU16String(form->GetDispText()).contains(QStringLiteral("dropped words")));
}

QTEST_MAIN(DropTest)
#include "drop_test.moc"
