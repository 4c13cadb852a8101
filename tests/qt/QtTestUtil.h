#pragma once
// Helpers shared by the window tests.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <filesystem>

#include "base/Text.h"
#include "views/RandomPick.h"

namespace quillbox::qt::test {

// Display text written readably for failure messages: CR and LF as \r \n.
QByteArray Show(const Text& text);

// Writes `bytes` to `path`; fails the test when it cannot.
bool WriteFile(const QString& path, const QByteArray& bytes);

// Turns a QString path into one the file system functions take as is.
std::filesystem::path PathFromQString(const QString& path);

// The demo score file.
std::filesystem::path ExampleFile();

// A fixed-seed generator that counts its reseeds: every pick reseeds once.
class CountingRandom final : public RandomSource {
 public:
  explicit CountingRandom(std::uint64_t seed) : inner_(seed) {}
  void Reseed() override {
    ++reseeds;
    inner_.Reseed();
  }
  float Draw() override { return inner_.Draw(); }
  int reseeds = 0;

 private:
  ClockRandomSource inner_;
};

}  // namespace quillbox::qt::test
