// Qt's own texts follow the user's language, as the program loads them.
#include <QtTest>
#include <QTranslator>

#include "ui/qt/QtTranslations.h"

using namespace quillbox::qt;

class QtTranslationsTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup();
  void contextMenu_data();
  void contextMenu();
};

void QtTranslationsTest::cleanup() {
  // A translator removes itself when deleted.
  qDeleteAll(qApp->findChildren<QTranslator*>());
  QLocale::setDefault(QLocale::c());
}

void QtTranslationsTest::contextMenu_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<bool>("loaded");
  QTest::addColumn<QString>("copy");  // the text box's "&Copy"
  QTest::addColumn<QString>("selectAll");
  QTest::newRow("Japanese") << QStringLiteral("ja_JP") << true << QString::fromUtf16(u"コピー(&C)")
                            << QString::fromUtf16(u"すべてを選択");
  QTest::newRow("German") << QStringLiteral("de_DE") << true << QStringLiteral("&Kopieren")
                          << QStringLiteral("Alles auswählen");
  QTest::newRow("no translation") << QStringLiteral("C") << false << QStringLiteral("&Copy")
                                  << QStringLiteral("Select All");
}

void QtTranslationsTest::contextMenu() {
  QFETCH(QString, locale);
  QFETCH(bool, loaded);
  QFETCH(QString, copy);
  QFETCH(QString, selectAll);
  QLocale::setDefault(QLocale(locale));
  QCOMPARE(LoadQtTranslations(*qApp), loaded);
  QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), copy);
  QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "Select All"), selectAll);
}

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
