#pragma once
#include <deque>
#include <string>
#include <utility>

#include "views/RandomPick.h"

namespace quillbox::test {

// Feeds exact draws, in order, and records the calls the picks make:
// 'R' for a reseed, 'D' for a draw.
class ScriptedRandom final : public RandomSource {
 public:
  ScriptedRandom() = default;
  explicit ScriptedRandom(std::deque<float> script) : draws(std::move(script)) {}

  void Reseed() override;
  // Fails the test when the script has no draw left.
  float Draw() override;

  std::deque<float> draws;  // the draws still to come
  std::string log;
};

}  // namespace quillbox::test
