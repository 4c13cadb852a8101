#include "bench/ScoreGen.h"

#include <array>
#include <random>
#include <string_view>

namespace quillbox::bench {
namespace {

// Words in code page 932, so titles carry double-byte characters as real
// ones do, some with a trail byte equal to the backslash (表, ソ, 予, 能).
constexpr std::array<std::string_view, 16> kWords = {
    "\x90\xAF",                                          // 星
    "\x96\xE9",                                          // 夜
    "\x95\x5C",                                          // 表
    "\x83\x5C\x83\x69\x83\x5E",                          // ソナタ
    "\x95\x97",                                          // 風
    "\x89\xD4",                                          // 花
    "\x83\x68\x83\x8A\x81\x5B\x83\x80",                  // ドリーム
    "\x83\x74\x83\x40\x83\x93\x83\x5E\x83\x57\x81\x5B",  // ファンタジー
    "\x97\x5C\x94\x5C",                                  // 予能
    "Morning",
    "Glide",
    "Neon",
    "Harbor",
    "Parade",
    "Blue",
    "Comet",
};
constexpr std::array<std::string_view, 3> kDifficulties = {"Normal", "Hard", "Extra"};

}  // namespace

std::string GenerateScoreFile(std::int32_t songs, std::uint32_t seed) {
  // mt19937's sequence is fixed by the standard; the distributions are not,
  // so values are formed from its raw output.
  std::mt19937 random(seed);
  const auto below = [&](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };

  std::string out = "; dori-fen score file\r\n[Options]\r\nVolume=80\r\nSpeed=3\r\n\r\n";
  out.reserve(out.size() + static_cast<std::size_t>(songs) * 760);
  for (std::int32_t s = 1; s <= songs; ++s) {
    out += '[';
    const std::uint32_t words = 1 + below(3);
    for (std::uint32_t w = 0; w < words; ++w) {
      if (w > 0) out += ' ';
      out += kWords[below(kWords.size())];
    }
    out += ' ';
    out += std::to_string(s);
    out += '\\';
    out += kDifficulties[below(kDifficulties.size())];
    out += "]\r\n";
    for (int p = 1; p <= 8; ++p) {
      const std::string part = std::to_string(p);
      const std::uint32_t played = below(8) == 0 ? 100 + below(400) : below(41);
      const std::uint32_t hiPerfect = played == 0 ? 0 : below(111);
      out += "HPR" + part + "=" + std::to_string(hiPerfect) + "\r\n";
      out += "HPs" + part + "=" + std::to_string(played) + "\r\n";
      std::uint32_t score = played == 0 ? 0 : 900000 + below(300000);
      for (int r = 1; r <= 3; ++r) {
        const std::uint32_t perfect = score == 0 ? 0 : hiPerfect - below(hiPerfect + 1) / 4;
        out += "PR" + std::to_string(r) + part + "=" + std::to_string(perfect) + "\r\n";
        out += "SCORE" + std::to_string(r) + part + "=" + std::to_string(score) + "\r\n";
        score = score == 0 ? 0 : score - below(score / 4 + 1);
      }
    }
  }
  return out;
}

}  // namespace quillbox::bench
