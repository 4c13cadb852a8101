// Start-up must feel instant: loading and the first chart are measured on
// the demo file and on a large generated table.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "core/App.h"

namespace {

using namespace quillbox;

std::string DemoBytes() {
  std::ifstream in(QUILLBOX_EXAMPLES_DIR "/hsc.ini", std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string LargeBytes(int songs) {
  std::string bytes;
  for (int s = 0; s < songs; ++s) {
    bytes += "[Song " + std::to_string(s) + "\\Hard]\r\n";
    for (int p = 1; p <= 8; ++p) {
      const std::string part = std::to_string(p);
      bytes += "HPR" + part + "=" + std::to_string((s * 7 + p) % 111) + "\r\n";
      bytes += "HPs" + part + "=" + std::to_string((s + p) % 300) + "\r\n";
      for (int r = 1; r <= 3; ++r) {
        bytes += "SCORE" + std::to_string(r) + part + "=" + std::to_string(900000 - r * 1000 - s) + "\r\n";
        bytes += "PR" + std::to_string(r) + part + "=" + std::to_string(90 - r) + "\r\n";
      }
    }
  }
  return bytes;
}

void BM_ParseDemo(benchmark::State& state) {
  const std::string bytes = DemoBytes();
  for (auto _ : state) benchmark::DoNotOptimize(ParseScoreFile(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseDemo);

void BM_ParseLarge(benchmark::State& state) {
  const std::string bytes = LargeBytes(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ParseScoreFile(bytes));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ParseLarge)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_Views(benchmark::State& state) {
  const Songs songs = ParseScoreFile(LargeBytes(static_cast<int>(state.range(0)))).songs;
  Ranks ranks;
  InitRanks(ranks);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ChartText(songs, 1));
    benchmark::DoNotOptimize(RankSummaryText(songs, ranks));
  }
}
BENCHMARK(BM_Views)->Arg(30)->Arg(1000);

void BM_WeightedPickLongList(benchmark::State& state) {
  // One pair far above the rest: tens of millions of entries, none built.
  Songs songs;
  for (int s = 0; s < 100; ++s) songs.AddSong();
  songs[1].PlayCount[1] = 32767;
  ClockRandomSource random(1);
  for (auto _ : state) benchmark::DoNotOptimize(DrawWeightedPart(songs, random));
}
BENCHMARK(BM_WeightedPickLongList);

}  // namespace
