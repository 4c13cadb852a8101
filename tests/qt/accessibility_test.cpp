// What a screen reader is told about the window: its role and name, each
// control's name and role, and the options as one group.
#include <QAccessible>
#include <QtTest>

#include "QtTestUtil.h"
#include "ui/common/Layout.h"
#include "ui/qt/Form1.h"

using namespace quillbox;
using namespace quillbox::qt;

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void controls_data();
  void controls();
  void window();
};

void AccessibilityTest::controls_data() {
  QTest::addColumn<int>("control");  // 0-5 the options, 6 the text box, 7 the button
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("description");
  QTest::addColumn<int>("role");
  // Each option is named by its caption, as a sighted user reads it.
  for (int option = 0; option < ui::kOptionCount; ++option) {
    const QString caption = QString::fromUtf16(ui::OptionDesign(option).caption);
    QTest::newRow(qPrintable(caption)) << option << caption << QString() << int(QAccessible::RadioButton);
  }
  QTest::newRow("Disp") << 6 << QString::fromUtf16(u"レポート")
                        << QString::fromUtf16(
                               u"選んだ表示の内容です。「クリップボードへコピー」ボタンで、この内容をクリップ"
                               u"ボードにコピーできます。")
                        << int(QAccessible::EditableText);
  QTest::newRow("Command1") << 7 << QString::fromUtf16(ui::Command1Design().caption) << QString()
                            << int(QAccessible::Button);
}

void AccessibilityTest::controls() {
  QFETCH(int, control);
  QFETCH(QString, name);
  QFETCH(QString, description);
  QFETCH(int, role);
  Form1 form({test::ExampleFile(), nullptr, {}});
  QWidget* widget = control < 6    ? static_cast<QWidget*>(form.Radio(control))
                    : control == 6 ? static_cast<QWidget*>(form.Disp())
                                   : static_cast<QWidget*>(form.Command1());
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
  QVERIFY(iface);
  QCOMPARE(iface->text(QAccessible::Name), name);
  QCOMPARE(iface->text(QAccessible::Description), description);
  QCOMPARE(int(iface->role()), role);
  if (control < 6) {
    // Every option is told as one of the group of six, in their order.
    QAccessibleInterface* group = iface->parent();
    QVERIFY(group);
    QCOMPARE(group->role(), QAccessible::Grouping);
    QCOMPARE(group->text(QAccessible::Name), QString::fromUtf16(u"表示"));
    QCOMPARE(group->childCount(), Form1::kOptionCount);
    QCOMPARE(group->indexOfChild(iface), control);
    QCOMPARE(group->parent()->object(), &form);
  }
}

void AccessibilityTest::window() {
  const auto form = OpenMainWindow({test::ExampleFile(), nullptr, {}});
  QVERIFY(form);
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(form.get());
  QVERIFY(iface);
  QCOMPARE(iface->role(), QAccessible::Window);
  // The caption as the load set it, version and all.
  QCOMPARE(iface->text(QAccessible::Name), QString::fromUtf16(u"くいるぼっくす！   Ver 0.90"));
  QCOMPARE(iface->parent()->role(), QAccessible::Application);
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
