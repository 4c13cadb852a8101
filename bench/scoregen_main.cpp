// quillbox-scoregen SONGS [SEED]: writes a large score file to stdout, for
// trying the program or the benchmarks on a table of any size.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/ScoreGen.h"

int main(int argc, char* argv[]) {
  if (argc < 2 || argc > 3) {
    std::fputs("usage: quillbox-scoregen SONGS [SEED] > hsc.ini\n", stderr);
    return 2;
  }
  char* end = nullptr;
  const long songs = std::strtol(argv[1], &end, 10);
  if (*end != '\0' || songs < 0 || songs > 10'000'000) {
    std::fputs("quillbox-scoregen: SONGS must be a number from 0 to 10000000\n", stderr);
    return 2;
  }
  unsigned long seed = 1;
  if (argc == 3) {
    seed = std::strtoul(argv[2], &end, 10);
    if (*end != '\0') {
      std::fputs("quillbox-scoregen: SEED must be a number\n", stderr);
      return 2;
    }
  }
  const std::string bytes =
      quillbox::bench::GenerateScoreFile(static_cast<std::int32_t>(songs), static_cast<std::uint32_t>(seed));
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
    std::fputs("quillbox-scoregen: cannot write the output\n", stderr);
    return 1;
  }
  return 0;
}
