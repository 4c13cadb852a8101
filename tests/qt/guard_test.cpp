// Failures that escape the core, on a system whose iconv has no code page 932
// table: start-up and every event tell the user instead of ending the program.
#include <iconv.h>

#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <functional>

#include "QtTestUtil.h"
#include "scores/Cp932.h"
#include "ui/qt/Application.h"
#include "ui/qt/Form1.h"

using namespace quillbox;
using namespace quillbox::qt;

// Replaces the C library's for the core linked into this test: no
// conversion to or from code page 932 can be opened.
extern "C" iconv_t iconv_open(const char*, const char*) {
  errno = EINVAL;
  return reinterpret_cast<iconv_t>(-1);
}

namespace {

const QString kStep = QString::fromUtf16(u"\r\n\r\nもう一度お試しください。続くときは、くいるぼっくす！を起動し直してください。");
const QString kUnfinished = QString::fromUtf16(u"処理を完了できませんでした。") + kStep;
const QString kNoTable = QString::fromUtf16(u"処理を完了できませんでした。") +
                         QStringLiteral("\r\nthis system has no code page 932 (Shift_JIS) converter") + kStep;

const QEvent::Type kFail = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type kThrowOther = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type kPlain = static_cast<QEvent::Type>(QEvent::User + 3);

// Decodes a title in its handler, as loading a score file does.
class Decoder final : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == kFail) DecodeCp932("\x95\x5c");
    if (event->type() == kThrowOther) throw 1;
    if (event->type() != kPlain) return QObject::event(event);
    ++handled;
    return true;
  }
  int handled = 0;
};

// Everything told, by the application and by the window alike.
struct Told {
  QStringList messages;
  std::function<void()> then;  // run after each message is noted
};

}  // namespace

class GuardTest : public QObject {
  Q_OBJECT

 public:
  explicit GuardTest(Told& told) : told_(told) {}

 private slots:
  void init();
  void failedEventIsTold_data();
  void failedEventIsTold();
  void failureWhileTellingIsNotToldAgain();
  void failedStartUpIsTold();

 private:
  Told& told_;
};

void GuardTest::init() {
  told_.messages.clear();
  told_.then = nullptr;
}

void GuardTest::failedEventIsTold_data() {
  QTest::addColumn<int>("how");  // 0 sent, 1 posted, 2 a timer's slot
  QTest::addColumn<int>("type");
  QTest::addColumn<QString>("message");
  QTest::newRow("sent") << 0 << int(kFail) << kNoTable;
  QTest::newRow("posted") << 1 << int(kFail) << kNoTable;
  QTest::newRow("a timer's slot") << 2 << int(kFail) << kNoTable;
  QTest::newRow("not a std::exception") << 1 << int(kThrowOther) << kUnfinished;
}

void GuardTest::failedEventIsTold() {
  QFETCH(int, how);
  QFETCH(int, type);
  QFETCH(QString, message);
  Decoder decoder;
  const auto eventType = static_cast<QEvent::Type>(type);
  if (how == 0) {
    QEvent event(eventType);
    QVERIFY(!QCoreApplication::sendEvent(&decoder, &event));
  } else if (how == 1) {
    QCoreApplication::postEvent(&decoder, new QEvent(eventType));
  } else {
    QTimer::singleShot(0, &decoder, [&decoder, eventType] {
      QEvent event(eventType);
      decoder.event(&event);
    });
  }
  // The loop goes on after the failure: the next event is handled.
  QCoreApplication::postEvent(&decoder, new QEvent(kPlain));
  QTRY_COMPARE(decoder.handled, 1);
  QCOMPARE(told_.messages, QStringList{message});
}

void GuardTest::failureWhileTellingIsNotToldAgain() {
  // A message box runs events while it is up; one that fails on every event
  // (a paint, say) must not open box after box. Bounded here, so that a
  // failure shows as a count rather than as a stack overflow.
  Decoder decoder;
  int sent = 0;
  told_.then = [&] {
    if (++sent > 3) return;
    QEvent event(kFail);
    QCoreApplication::sendEvent(&decoder, &event);
  };
  QEvent event(kFail);
  QCoreApplication::sendEvent(&decoder, &event);
  QCOMPARE(told_.messages, QStringList{kNoTable});
  // Once the message is done, a new failure is told again.
  told_.then = nullptr;
  QCoreApplication::sendEvent(&decoder, &event);
  QCOMPARE(told_.messages.size(), 2);
}

void GuardTest::failedStartUpIsTold() {
  // The demo file's titles are in code page 932.
  const auto form =
      OpenMainWindow({test::ExampleFile(), nullptr, [this](const QString& m) { told_.messages << m; }});
  QVERIFY(!form);
  // A load error of the whole file, naming it, rather than a failure.
  QCOMPARE(told_.messages.size(), 1);
  QVERIFY2(told_.messages.first().contains(test::ExampleFile().filename().c_str()), qPrintable(told_.messages.first()));
  QVERIFY2(told_.messages.first().contains(QString::fromUtf16(u"コードページ932")), qPrintable(told_.messages.first()));
  for (const QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!w->isVisible());
}

int main(int argc, char* argv[]) {
  Told told;
  Application app(argc, argv, [&told](const QString& message) {
    told.messages << message;
    if (told.then) told.then();
  });
  GuardTest test(told);
  return QTest::qExec(&test, argc, argv);
}

#include "guard_test.moc"
