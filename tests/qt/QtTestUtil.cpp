#include "QtTestUtil.h"

#include <QFile>

namespace quillbox::qt::test {

QByteArray Show(const Text& text) {
  QString shown = QString::fromStdU16String(text);
  shown.replace(QLatin1Char('\r'), QStringLiteral("\\r")).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
  return shown.toUtf8();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

std::filesystem::path ExampleFile() { return std::filesystem::path(QUILLBOX_EXAMPLES_DIR) / "hsc.ini"; }

}  // namespace quillbox::qt::test
