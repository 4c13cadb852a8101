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

std::filesystem::path PathFromQString(const QString& path) {
  // The file system's own encoding of the name, whatever the locale says.
  const QByteArray native = QFile::encodeName(path);
  return std::filesystem::path(std::string(native.constData(), static_cast<std::size_t>(native.size())));
}

std::filesystem::path ExampleFile() { return std::filesystem::path(QUILLBOX_EXAMPLES_DIR) / "hsc.ini"; }

}  // namespace quillbox::qt::test
