// Speed and memory of the core on a player's table (2 000 songs) and on a
// table grown large (100 000). Times are judged against references taken in
// the same run, so the ratios hold on a busy machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "bench/HeapProbe.h"
#include "bench/ScoreGen.h"
#include "report/Export.h"
#include "scores/ScoreFile.h"
#include "render/Compare.h"
#include "render/History.h"
#include "views/RandomPick.h"
#include "render/Versus.h"
#include "views/Views.h"

namespace {

using namespace quillbox;
using quillbox::bench::GenerateScoreFile;
using quillbox::bench::Heap;
using quillbox::bench::ResetPeak;

constexpr std::int64_t kPlayerTable = 2'000;
constexpr std::int64_t kLargeTable = 100'000;

struct Generated {
  std::string bytes;
  Songs songs;
};

// Generating and parsing 100 000 songs takes a while; each size is made once.
// A generated file that does not load as a table of that size would make
// every figure meaningless, so the run stops there.
const Generated& Generate(std::int64_t songs) {
  static std::map<std::int64_t, Generated> cache;
  auto [it, added] = cache.try_emplace(songs);
  if (added) {
    it->second.bytes = GenerateScoreFile(static_cast<std::int32_t>(songs));
    LoadResult loaded = ParseScoreFile(it->second.bytes);
    if (loaded.error || loaded.songs.SongCount() != songs) {
      std::fprintf(stderr, "generated file of %lld songs does not load: %s\n", static_cast<long long>(songs),
                   loaded.error ? DescribeLoadError(*loaded.error).c_str() : "wrong song count");
      std::exit(1);
    }
    it->second.songs = std::move(loaded.songs);
  }
  return it->second;
}

const std::string& FileBytes(std::int64_t songs) { return Generate(songs).bytes; }
const Songs& Table(std::int64_t songs) { return Generate(songs).songs; }

// The reference for reading: the least any line reader must do, finding
// every line end with memchr.
std::size_t CountLineEnds(std::string_view bytes) {
  if (bytes.empty()) return 0;  // memchr must not see the null data of an empty view
  std::size_t lines = 0;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
    ++lines;
    ++p;
  }
  return lines;
}

template <typename F>
double MedianSeconds(F&& f, int runs = 9) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    f();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[static_cast<std::size_t>(runs / 2)];
}

void BM_LineScan(benchmark::State& state) {
  const std::string& bytes = FileBytes(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(CountLineEnds(bytes));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_LineScan)->Arg(kPlayerTable)->Arg(kLargeTable)->Unit(benchmark::kMillisecond);

// Counter x_line_scan: this load's median over the line scan's median of the
// same bytes, both measured here. Target: at most 10.
void BM_ParseBytes(benchmark::State& state) {
  const std::string& bytes = FileBytes(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ParseScoreFile(bytes));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  const double parse = MedianSeconds([&] { benchmark::DoNotOptimize(ParseScoreFile(bytes)); }, 5);
  const double scan = MedianSeconds([&] { benchmark::DoNotOptimize(CountLineEnds(bytes)); });
  state.counters["x_line_scan"] = parse / scan;
}
BENCHMARK(BM_ParseBytes)->Arg(kPlayerTable)->Arg(kLargeTable)->Unit(benchmark::kMillisecond);

// What the table itself needs: its records and the titles too long to be
// held inside them.
std::int64_t TableBytes(const Songs& songs) {
  std::int64_t bytes = (songs.SongCount() + 1) * static_cast<std::int64_t>(sizeof(SongRecord));
  const std::size_t inside = Text().capacity();
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    const std::size_t length = songs[s].Title.size();
    if (length > inside) bytes += static_cast<std::int64_t>((length + 1) * sizeof(char16_t));
  }
  return bytes;
}

// From disk, as at start-up (the file is in the page cache after the first
// run). Counter x_memory_budget: the heap's peak during the load over two
// times the file's size plus the table. Target: at most 1.
void BM_LoadFile(benchmark::State& state) {
  const std::string& bytes = FileBytes(state.range(0));
  const auto dir =
      std::filesystem::temp_directory_path() / ("quillbox-bench-" + std::to_string(state.range(0)));
  std::filesystem::create_directories(dir);
  const auto file = dir / "hsc.ini";
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

  for (auto _ : state) benchmark::DoNotOptimize(LoadScoreFile(file));

  const std::int64_t before = Heap().live;
  ResetPeak();
  const LoadResult loaded = LoadScoreFile(file);
  const std::int64_t peak = Heap().peak - before;
  if (loaded.error || loaded.songs.SongCount() != state.range(0))
    state.SkipWithError("the file did not load");
  const std::int64_t table = TableBytes(loaded.songs);
  state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
  state.counters["table_MB"] = static_cast<double>(table) / 1e6;
  state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["x_memory_budget"] =
      static_cast<double>(peak) / (2.0 * static_cast<double>(bytes.size()) + static_cast<double>(table));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadFile)->Arg(kPlayerTable)->Arg(kLargeTable)->Unit(benchmark::kMillisecond);

// Target: under 50 ms for 100 000 songs, each mode.
void BM_ChartText(benchmark::State& state) {
  const Songs& songs = Table(state.range(1));
  const auto mode = static_cast<ChartMode>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(ChartText(songs, mode));
}
BENCHMARK(BM_ChartText)
    ->ArgNames({"mode", "songs"})
    ->ArgsProduct({{kHiPerfectChart, kBestScoreChart, kPlayCountChart}, {kPlayerTable, kLargeTable}})
    ->Unit(benchmark::kMillisecond);

// Target: under 5 ms for 100 000 songs.
void BM_RankSummary(benchmark::State& state) {
  const Songs& songs = Table(state.range(0));
  Ranks ranks;
  InitRanks(ranks);
  for (auto _ : state) benchmark::DoNotOptimize(RankSummaryText(songs, ranks));
}
BENCHMARK(BM_RankSummary)->Arg(kPlayerTable)->Arg(kLargeTable)->Unit(benchmark::kMicrosecond);

// Counter allocations: heap allocations per pick, which must not grow with
// the play counts (the candidate list is never built).
void WeightedPick(benchmark::State& state, Songs (*makeTable)()) {
  const Songs songs = makeTable();
  ClockRandomSource random(20261207);
  const std::int64_t allocationsBefore = Heap().allocations;
  for (auto _ : state) benchmark::DoNotOptimize(DrawWeightedPart(songs, random));
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(Heap().allocations - allocationsBefore), benchmark::Counter::kAvgIterations);
}

Songs TableOf(std::int32_t n, const std::function<std::int16_t(std::int32_t, int)>& playCount) {
  Songs songs;
  for (std::int32_t s = 1; s <= n; ++s) {
    SongRecord& song = songs.AddSong();
    for (int p = 1; p <= 8; ++p) song.PlayCount[static_cast<std::size_t>(p)] = playCount(s, p);
  }
  return songs;
}

// Target: under 50 us.
void BM_WeightedPickRandomCounts(benchmark::State& state) {
  WeightedPick(state, [] {
    std::mt19937 counts(7);
    return TableOf(10'000, [&](std::int32_t, int) { return static_cast<std::int16_t>(counts() % 1000); });
  });
}
BENCHMARK(BM_WeightedPickRandomCounts)->Unit(benchmark::kMicrosecond);

Songs LongListTable() {
  return TableOf(
      100, [](std::int32_t s, int p) { return static_cast<std::int16_t>(s == 2 && p == 1 ? 32767 : 0); });
}
Songs EqualCountsTable() {
  return TableOf(100, [](std::int32_t, int) { return std::int16_t{5}; });
}

// One pair at 32767 among 100 songs: a candidate list of 26 million entries.
// Counter x_equal_counts: its median over that of the same-sized table with
// equal play counts (800 entries), timed in turns here. Target: at most 1.
void BM_WeightedPickLongList(benchmark::State& state) {
  WeightedPick(state, LongListTable);
  const Songs longList = LongListTable();
  const Songs equal = EqualCountsTable();
  ClockRandomSource random(1);
  const auto picks = [&random](const Songs& songs) {
    return [&random, table = &songs] {
      for (int i = 0; i < 200; ++i) benchmark::DoNotOptimize(DrawWeightedPart(*table, random));
    };
  };
  // Batches in turns, and the median of their ratios: a slow moment of the
  // machine then spoils one ratio, not the result.
  std::vector<double> ratios;
  for (int round = 0; round < 41; ++round) {
    const double longTime = MedianSeconds(picks(longList), 3);
    ratios.push_back(longTime / MedianSeconds(picks(equal), 3));
  }
  std::nth_element(ratios.begin(), ratios.begin() + 20, ratios.end());
  state.counters["x_equal_counts"] = ratios[20];
}
BENCHMARK(BM_WeightedPickLongList)->Unit(benchmark::kMicrosecond);

void BM_WeightedPickEqualCounts(benchmark::State& state) { WeightedPick(state, EqualCountsTable); }
BENCHMARK(BM_WeightedPickEqualCounts)->Unit(benchmark::kMicrosecond);

// The median time of loading `songs` songs from disk, as the report tool does
// before an export or a compare.
double LoadSeconds(std::int64_t songs) {
  const std::string& bytes = FileBytes(songs);
  const auto dir = std::filesystem::temp_directory_path() / ("quillbox-bench-load-" + std::to_string(songs));
  std::filesystem::create_directories(dir);
  const auto file = dir / "hsc.ini";
  std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  const double seconds = MedianSeconds([&] { benchmark::DoNotOptimize(LoadScoreFile(file)); }, 5);
  std::filesystem::remove_all(dir);
  return seconds;
}

// The export as the report tool writes it: piece by piece, each turned into
// UTF-8 bytes. Counter x_load: its median over that of loading the file.
// Target: at most 3.
void BM_Export(benchmark::State& state) {
  const Songs& songs = Table(state.range(1));
  const auto format = static_cast<ExportFormat>(state.range(0));
  PartNames names;
  InitPartNames(names);
  const auto run = [&] {
    WriteExport(songs, names, format, u"0.90.3", [](const Text& piece) {
      benchmark::DoNotOptimize(ToUtf8(piece));
      return true;
    });
  };
  for (auto _ : state) run();
  state.counters["x_load"] = MedianSeconds(run, 5) / LoadSeconds(state.range(1));
}
BENCHMARK(BM_Export)
    ->ArgNames({"format", "songs"})
    ->ArgsProduct({{static_cast<std::int64_t>(ExportFormat::Json),
                    static_cast<std::int64_t>(ExportFormat::Csv),
                    static_cast<std::int64_t>(ExportFormat::Tsv)},
                   {kPlayerTable, kLargeTable}})
    ->Unit(benchmark::kMillisecond);

// The table a week of play later: every tenth song played again with a new
// best, every hundredth dropped, a few added.
Songs PlayedOn(const Songs& songs) {
  Songs later;
  later.Reserve(static_cast<std::size_t>(songs.SongCount()) + 100);
  for (std::int32_t s = 1; s <= songs.SongCount(); ++s) {
    if (s % 100 == 50) continue;
    SongRecord& song = later.AddSong() = songs[s];
    if (s % 10 == 3) {
      song.PlayCount[2] = static_cast<std::int16_t>(song.PlayCount[2] + 1);
      song.HiPerfect[2] = static_cast<std::uint8_t>(std::min(255, song.HiPerfect[2] + 1));
      song.BestScore[2][1] += 1000;
    }
  }
  for (int i = 0; i < 100; ++i) later.AddSong().Title = u"new song " + Decimal(i);
  return later;
}

// Matching, the text or JSON and its UTF-8 bytes. Counter x_load: the median
// over that of loading both files. Target: at most 3.
void BM_Compare(benchmark::State& state) {
  const Songs& old = Table(state.range(1));
  const Songs now = PlayedOn(old);
  const bool json = state.range(0) == 1;
  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  const auto run = [&] {
    const Comparison comparison = CompareTables(old, now, ranks);
    benchmark::DoNotOptimize(
        ToUtf8(json ? ComparisonJson(old, now, comparison) : ComparisonText(old, now, names, comparison)));
  };
  for (auto _ : state) run();
  state.counters["x_load"] = MedianSeconds(run, 5) / (2 * LoadSeconds(state.range(1)));
}
BENCHMARK(BM_Compare)
    ->ArgNames({"json", "songs"})
    ->ArgsProduct({{0, 1}, {kPlayerTable, kLargeTable}})
    ->Unit(benchmark::kMillisecond);

// Head to head with a friend a little ahead: matching, the counts, the text
// or JSON and its UTF-8 bytes. Counter x_load: the median over that of
// loading both files. Target: at most 3.
void BM_Versus(benchmark::State& state) {
  const Songs& mine = Table(state.range(1));
  const Songs theirs = PlayedOn(mine);
  const bool json = state.range(0) == 1;
  Ranks ranks;
  InitRanks(ranks);
  PartNames names;
  InitPartNames(names);
  const auto run = [&] {
    const Versus versus = VersusTables(mine, theirs, ranks);
    benchmark::DoNotOptimize(
        ToUtf8(json ? VersusJson(mine, theirs, names, versus) : VersusText(mine, theirs, names, versus)));
  };
  for (auto _ : state) run();
  state.counters["x_load"] = MedianSeconds(run, 5) / (2 * LoadSeconds(state.range(1)));
}
BENCHMARK(BM_Versus)
    ->ArgNames({"json", "songs"})
    ->ArgsProduct({{0, 1}, {kPlayerTable, kLargeTable}})
    ->Unit(benchmark::kMillisecond);

// Ten files of a player who keeps a backup a week: each the one before a
// week of play later.
const std::vector<ScoreSnapshot>& TenBackups(std::int64_t songs) {
  static std::map<std::int64_t, std::vector<ScoreSnapshot>> cache;
  auto [it, added] = cache.try_emplace(songs);
  if (added) {
    it->second.push_back({u"backup-1.ini", u"2026-10-01 20:00", Table(songs)});
    for (int i = 2; i <= 10; ++i) {
      Songs later = PlayedOn(it->second.back().songs);
      it->second.push_back({u"backup-" + Decimal(i) + u".ini", u"2026-10-01 20:00", std::move(later)});
    }
  }
  return it->second;
}

// Nine comparisons, the summaries, the text, JSON or page and its UTF-8
// bytes. Counter x_load: the median over that of loading the ten files.
// Target: at most 3.
void BM_History(benchmark::State& state) {
  const std::vector<ScoreSnapshot>& files = TenBackups(state.range(1));
  Ranks ranks;
  InitRanks(ranks);
  const auto run = [&] {
    const History history = BuildHistory(files, ranks);
    const Text text = state.range(0) == 0   ? HistoryText(history)
                      : state.range(0) == 1 ? HistoryJson(history)
                                            : HistoryHtml(history, ranks);
    benchmark::DoNotOptimize(ToUtf8(text));
  };
  for (auto _ : state) run();
  state.counters["x_load"] = MedianSeconds(run, 5) / (10 * LoadSeconds(state.range(1)));
}
BENCHMARK(BM_History)
    ->ArgNames({"format", "songs"})
    ->ArgsProduct({{0, 1, 2}, {kPlayerTable, kLargeTable}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
