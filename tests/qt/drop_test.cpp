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
#include <string>
#include <vector>

#include "QtTestUtil.h"
#include "render/Compare.h"
#include "ui/common/Layout.h"
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

// A drag of `mime` offering `actions`, entering, moving over and dropped on
// `target` at its middle. The action the source is told; IgnoreAction when
// the drag or the drop was refused.
Qt::DropAction Drop(QWidget* target, QMimeData* mime, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return Qt::IgnoreAction;
  QDragMoveEvent move(at, actions, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &move);
  QDropEvent drop(QPointF(at), actions, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
}

}  // namespace

class DropTest final : public QObject {
  Q_OBJECT

 private slots:
  void drop_data();
  void drop();
  void neverAMove();
  void namesAreTheirBytes();
  void droppedTextGoesIntoTheBox();
  void reload();
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
        << onDisp << QStringList{QStringLiteral("backup.ini"), QStringLiteral("bad.ini")} << QStringLiteral("行：2");
    QTest::addRow("%s: a folder", where) << onDisp << QStringList{QStringLiteral("folder")}
                                         << QStringLiteral("フォルダーは読み込めません。ドロップできるのはファイルだけです。");
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
  QCOMPARE(Drop(onDisp ? form->Disp()->viewport() : static_cast<QWidget*>(form.get()), mime), Qt::CopyAction);
  // The drop finishes before anything is shown: the source does not wait on a message.
  QVERIFY(errors.isEmpty() && form->GetDispText() == before);
  QCoreApplication::processEvents();

  QVERIFY(form->Radio(0)->isChecked());
  if (error.isEmpty()) {
    QVERIFY2(errors.isEmpty(), qPrintable(errors.value(0)));
    const QString loaded = QString::fromStdString(test::ExampleFile().string());
    const QStringList args = files.size() == 1
                                 ? QStringList{QStringLiteral("compare"), dir.filePath(files.first()), loaded}
                                 : QStringList{QStringLiteral("history"), dir.filePath(QStringLiteral("backup.ini")),
                                               dir.filePath(QStringLiteral("c.ini")),
                                               dir.filePath(QStringLiteral("b.ini")), loaded};
    // The window speaks Japanese whatever the locale; the tool is told so.
    QCOMPARE(QString::fromStdU16String(form->GetDispText()),
             ReportOutput(args + QStringList{QStringLiteral("--lang"), QStringLiteral("ja")}));
  } else {
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors.first().contains(error), qPrintable(errors.first()));
    QVERIFY(form->GetDispText() == before);
  }
}

// Told MOVE, a file manager deletes the dropped file: a drag offering only a
// move is refused, one offering a move or a copy is answered with copy.
void DropTest::neverAMove() {
  const auto form = OpenMainWindow({test::ExampleFile(), nullptr, [](const QString&) {}});
  QVERIFY(form);
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(test::ExampleFile().string()))});
  mime.setText(QStringLiteral("file name as text"));
  for (QWidget* target : {static_cast<QWidget*>(form.get()), form->Disp()->viewport()}) {
    QCOMPARE(Drop(target, &mime, Qt::MoveAction), Qt::IgnoreAction);
    QCOMPARE(Drop(target, &mime, Qt::MoveAction | Qt::CopyAction), Qt::CopyAction);
    QCOMPARE(Drop(target, &mime, Qt::MoveAction | Qt::LinkAction), Qt::LinkAction);
  }
}

// A name as it lies on disk, not UTF-8 (code page 932 from a Windows zip,
// Latin-1): the path is the URL's percent-decoded bytes.
void DropTest::namesAreTheirBytes() {
  const struct {
    const char* uriList;
    std::vector<std::string> paths;
  } cases[] = {
      {"file:///tmp/%83o%83b.ini\r\n", {"/tmp/\x83o\x83" "b.ini"}},
      {"# comment\r\nfile://localhost/caf%E9.ini\r\nfile:/a%20b.ini", {"/caf\xE9.ini", "/a b.ini"}},
      {"file://elsewhere/x.ini\r\n", {"file://elsewhere/x.ini"}},  // not local: refused by the core
  };
  for (const auto& c : cases) {
    QMimeData mime;
    mime.setData(QStringLiteral("text/uri-list"), c.uriList);
    const auto files = DroppedFiles(&mime);
    QVERIFY(files);
    std::vector<std::string> paths;
    for (const auto& file : *files) paths.push_back(file.native());
    QVERIFY2(paths == c.paths, c.uriList);
  }
}

void DropTest::droppedTextGoesIntoTheBox() {
  const auto form = OpenMainWindow({test::ExampleFile(), nullptr, [](const QString&) {}});
  QVERIFY(form);
  QMimeData mime;
  mime.setText(QStringLiteral("dropped words"));
  QVERIFY(Drop(form->Disp()->viewport(), &mime) != Qt::IgnoreAction);
  QVERIFY(QString::fromStdU16String(form->GetDispText()).contains(QStringLiteral("dropped words")));
}

// F5 and the menu entry after the game saved: the box shows the session's
// changes since start-up, Perfect then charts the new table, and a reload of
// a bad file changes nothing.
void DropTest::reload() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString hsc = dir.filePath(QStringLiteral("hsc.ini"));
  QVERIFY(QFile::copy(QString::fromStdString(test::ExampleFile().string()), hsc));
  const std::filesystem::path file = test::PathFromQString(hsc);
  const QString startFile = QString::fromStdString(test::ExampleFile().string());
  QStringList errors;
  const auto form = OpenMainWindow({file, nullptr, [&](const QString& m) { errors << m; }});
  QVERIFY(form);
  form->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form.get()));
  // What the report tool prints of the session: START is the file as it was.
  const auto compare = [&](const QString& now) {
    return ReportOutput({QStringLiteral("compare"), startFile, now, QStringLiteral("--lang"), QStringLiteral("ja")});
  };
  const auto shows = [&] { return QString::fromStdU16String(form->GetDispText()); };

  QVERIFY(test::WriteFile(hsc, Backup()));
  QTest::keyClick(form->Disp(), Qt::Key_F5);
  QCOMPARE(shows(), compare(hsc));
  QVERIFY(shows() != compare(startFile));
  QVERIFY(form->Radio(0)->isChecked());
  QTest::mousePress(form->Radio(0), Qt::LeftButton);
  QVERIFY(form->GetDispText() == ChartText(LoadScoreFile(file).songs, 0));

  const Text shown = form->GetDispText();
  QVERIFY(test::WriteFile(hsc, "[a\\]\nHPR9=5\n"));
  QTest::keyClick(form->Command1(), Qt::Key_F5);
  QCOMPARE(errors.size(), 1);
  QVERIFY2(errors.first().contains(QStringLiteral("F5")), qPrintable(errors.first()));
  QVERIFY(form->GetDispText() == shown);

  // The menu: the standard entries, then the reload entry, which works.
  const std::unique_ptr<QMenu> menu(form->Disp()->CreateContextMenu(QPoint()));
  const QList<QAction*> actions = menu->actions();
  QVERIFY(actions.size() > 6);
  QCOMPARE(actions.last()->text(), QString::fromUtf16(ui::kReloadMenuEntry));
  QVERIFY(test::WriteFile(hsc, Backup()));
  actions.last()->trigger();
  QCoreApplication::processEvents();
  QCOMPARE(errors.size(), 1);
  QCOMPARE(shows(), compare(hsc));
}

QTEST_MAIN(DropTest)
#include "drop_test.moc"
