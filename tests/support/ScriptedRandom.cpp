#include "tests/support/ScriptedRandom.h"

#include <gtest/gtest.h>

namespace quillbox::test {

void ScriptedRandom::Reseed() { log += 'R'; }

float ScriptedRandom::Draw() {
  log += 'D';
  if (draws.empty()) {
    ADD_FAILURE() << "a draw the script did not provide";
    return 0;
  }
  const float r = draws.front();
  draws.pop_front();
  return r;
}

}  // namespace quillbox::test
