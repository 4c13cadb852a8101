// quillbox_load_memprobe FILE: loads FILE as a score file and prints
// "BEFORE_KB AFTER_KB SONGS": the peak resident size of this process before
// and after loading, and the number of songs read.
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "scores/ScoreFile.h"

namespace {
long PeakKb() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return -1;
  return usage.ru_maxrss;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    (void)std::fputs("usage: quillbox_load_memprobe FILE\n", stderr);
    return 2;
  }
  const long before = PeakKb();
  const quillbox::LoadResult result = quillbox::LoadScoreFile(std::filesystem::path(argv[1]));
  const long after = PeakKb();
  if (result.error) {
    (void)std::fprintf(stderr, "%s\n", quillbox::DescribeLoadError(*result.error).c_str());
    return 1;
  }
  return std::printf("%ld %ld %d\n", before, after, result.songs.SongCount()) > 0 ? 0 : 1;
}
