// quillbox-report: the same start-up, views and copy as the window, written
// to standard output for scripts and for checking output byte for byte.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/App.h"
#include "core/FileTime.h"
#include "core/ProgramDirectory.h"
#include "core/Version.h"
#include "report/Console.h"
#include "report/Export.h"
#include "report/TextWindow.h"
#include "views/Compare.h"
#include "views/History.h"
#include "views/Versus.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

using quillbox::Text;

constexpr const char* kUsage =
    "usage: quillbox-report [--file PATH] [--copy] [--seed N] VIEW\n"
    "       quillbox-report [--file PATH] export [--format json|csv|tsv]\n"
    "       quillbox-report compare OLD NEW [--format text|json]\n"
    "       quillbox-report versus MINE THEIRS [--format text|json]\n"
    "       quillbox-report history FILE FILE... [--format text|json|html]\n"
    "       quillbox-report --version\n"
    "  VIEW: perfect | score | playcount | rank | detail SONG PART | random | weighted\n"
    "  export       every field of every song (default json; csv for spreadsheets)\n"
    "  compare      what changed from score file OLD to score file NEW (default text)\n"
    "  versus       score file MINE against a friend's score file THEIRS (default text)\n"
    "  history      each file's totals and ranks, and what changed from each file to\n"
    "               the next, in the order given (default text; html: a page with charts)\n"
    "  --file PATH  read this score file instead of hsc.ini beside the program\n"
    "  --copy       print what the copy button puts on the clipboard\n"
    "  --seed N     fixed seed for random and weighted (default: the clock)\n"
    "  --version    print the program's version and exit\n";

// A window message as one line: its line breaks go, and become a blank
// where no full stop already ends the sentence before them.
std::string OneLine(const Text& message) {
  Text line;
  for (const char16_t c : message) {
    if (c == u'\n') continue;
    if (c != u'\r') {
      line += c;
    } else if (!line.empty() && line.back() != u'。' && line.back() != u' ') {
      line += u' ';
    }
  }
  return quillbox::ToUtf8(line);
}

// Whether `stream` (stdout or stderr) is a terminal rather than a file or pipe.
bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE), &mode) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

// Writes text to stdout or stderr: UTF-8 bytes, exactly, when redirected.
// False when it could not be written (a full disk, a closed pipe).
bool Write(std::FILE* stream, const Text& text) {
#ifdef _WIN32
  // On a console, UTF-8 bytes would show as mojibake; write the wide text.
  if (IsTerminal(stream)) {
    const HANDLE console = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    return quillbox::WriteInPieces(text, [console](const char16_t* piece, std::size_t n) -> std::size_t {
      DWORD written = 0;
      if (WriteConsoleW(console, piece, static_cast<DWORD>(n), &written, nullptr) == 0) return 0;
      return written;
    });
  }
  _setmode(_fileno(stream), _O_BINARY);  // keep every CR LF as it is
#endif
  const std::string utf8 = quillbox::ToUtf8(text);
  const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  return std::fflush(stream) == 0 && written;
}

// A view's text on standard output. On a terminal a text that does not end
// its last line (part detail) gets a line end, so that the prompt does not
// follow on the same line; redirected output stays byte for byte.
bool WriteOut(Text text) {
  if (IsTerminal(stdout) && !text.empty() && text.back() != u'\n') text += u"\r\n";
  return Write(stdout, text);
}

// One line on standard error; paths and messages may hold Japanese.
void Tell(const std::string& utf8) { Write(stderr, quillbox::FromUtf8(utf8 + "\n")); }

// A closed pipe is one such case: the reader has gone, and the line says so.
constexpr const char* kCannotWrite =
    "quillbox-report: cannot write the output -- check the free disk space, or the program reading the output";

int Usage(const std::string& problem) {
  if (!problem.empty()) Tell("quillbox-report: " + problem);
  Write(stderr, quillbox::FromUtf8(kUsage));
  return 2;
}

bool ParseInt(const std::string& s, long long& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(s.c_str(), &end, 10);
  return errno == 0 && end == s.c_str() + s.size();
}

// Exactly 0 to 2^64 - 1 in decimal digits: strtoull would take a sign and
// wrap a negative number around.
bool ParseSeed(const std::string& s, std::uint64_t& out) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoull(s.c_str(), &end, 10);
  return errno == 0 && end == s.c_str() + s.size();
}

constexpr const char* kViews[] = {"perfect", "score", "playcount", "rank", "detail", "random", "weighted"};

Text VersionString() {
  return quillbox::FromUtf8(std::to_string(quillbox::build::kVersionMajor) + "." +
                            std::to_string(quillbox::build::kVersionMinor) + "." +
                            std::to_string(quillbox::build::kVersionPatch));
}

// A score file read for export or compare; its load error is told as the
// views tell it. Files named for compare, versus and history must be score
// files; export reads a file as the window reads it at start-up.
std::optional<quillbox::Songs> Load(const std::filesystem::path& path,
                                    quillbox::LoadMode mode = quillbox::LoadMode::ScoreFileOnly) {
  quillbox::LoadResult loaded = quillbox::LoadScoreFile(path, mode);
  if (loaded.error) {
    Tell(quillbox::DescribeLoadError(*loaded.error));
    return std::nullopt;
  }
  return std::move(loaded.songs);
}

int Export(const std::filesystem::path& path, quillbox::ExportFormat format) {
  const std::optional<quillbox::Songs> songs = Load(path, quillbox::LoadMode::StartUp);
  if (!songs) return 1;
  quillbox::PartNames names;
  quillbox::InitPartNames(names);
  // Every export ends its last line, so the pieces go out as they are.
  if (!quillbox::WriteExport(*songs, names, format, VersionString(),
                             [](const Text& piece) { return Write(stdout, piece); })) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

int Compare(const std::filesystem::path& oldPath, const std::filesystem::path& newPath, bool json) {
  const std::optional<quillbox::Songs> old = Load(oldPath);
  if (!old) return 1;
  const std::optional<quillbox::Songs> now = Load(newPath);
  if (!now) return 1;
  quillbox::Ranks ranks;
  quillbox::InitRanks(ranks);
  quillbox::PartNames names;
  quillbox::InitPartNames(names);
  const quillbox::Comparison comparison = quillbox::CompareTables(*old, *now, ranks);
  const Text text = json ? quillbox::ComparisonJson(*old, *now, comparison)
                         : quillbox::ComparisonText(*old, *now, names, comparison);
  if (!WriteOut(text)) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

int VersusCommand(const std::filesystem::path& minePath, const std::filesystem::path& theirPath, bool json) {
  const std::optional<quillbox::Songs> mine = Load(minePath);
  if (!mine) return 1;
  const std::optional<quillbox::Songs> theirs = Load(theirPath);
  if (!theirs) return 1;
  quillbox::Ranks ranks;
  quillbox::InitRanks(ranks);
  quillbox::PartNames names;
  quillbox::InitPartNames(names);
  const quillbox::Versus versus = quillbox::VersusTables(*mine, *theirs, ranks);
  const Text text = json ? quillbox::VersusJson(*mine, *theirs, names, versus)
                         : quillbox::VersusText(*mine, *theirs, names, versus);
  if (!WriteOut(text)) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

enum class HistoryFormat { Plain, Json, Html };

// The files are read one after another and only the last table is kept:
// ten large backups need no more memory than two.
int History(const std::vector<std::string>& paths, HistoryFormat format) {
  quillbox::Ranks ranks;
  quillbox::InitRanks(ranks);
  quillbox::History history;
  std::optional<quillbox::Songs> previous;
  for (const std::string& name : paths) {
    const std::filesystem::path path = std::filesystem::u8path(name);
    std::optional<quillbox::Songs> songs = Load(path);
    if (!songs) return 1;
    const std::optional<Text> modified = quillbox::ModifiedText(path);
    quillbox::ScoreSnapshot snapshot{quillbox::FromUtf8(name), modified.value_or(Text()), std::move(*songs)};
    quillbox::AddToHistory(history, snapshot, previous ? &*previous : nullptr, ranks);
    previous = std::move(snapshot.songs);
  }
  const Text text = format == HistoryFormat::Json   ? quillbox::HistoryJson(history)
                    : format == HistoryFormat::Html ? quillbox::HistoryHtml(history, ranks)
                                                    : quillbox::HistoryText(history);
  if (!WriteOut(text)) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

// The --format value of export, compare, versus and history, checked against the command.
int CheckFormat(const std::string& command, const std::optional<std::string>& format,
                bool formatBeforeCommand, std::initializer_list<const char*> formats) {
  if (!format) return 0;
  if (formatBeforeCommand) return Usage("--format goes after " + command);
  for (const char* allowed : formats) {
    if (*format == allowed) return 0;
  }
  std::string list;
  for (const char* allowed : formats) list += (list.empty() ? "" : ", ") + std::string(allowed);
  return Usage(command + " --format is one of " + list);
}

int Run(int argc, char** argv) {
  std::optional<std::filesystem::path> file;
  bool copy = false;
  std::optional<std::uint64_t> seed;
  std::optional<std::string> format;
  bool formatBeforeCommand = false;
  std::vector<std::string> rest;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--format") {
      if (i + 1 >= argc) return Usage("--format needs a value");
      if (format) return Usage("--format given twice");
      format = argv[++i];
      formatBeforeCommand = rest.empty();
    } else if (arg == "--file" || arg == "--seed") {
      if (i + 1 >= argc) return Usage(arg + " needs a value");
      const std::string value = argv[++i];
      if (arg == "--file") {
        file = std::filesystem::u8path(value);
      } else {
        std::uint64_t n = 0;
        if (!ParseSeed(value, n)) return Usage("--seed needs a whole number from 0 to 18446744073709551615");
        seed = n;
      }
    } else if (arg == "--copy") {
      copy = true;
    } else if (arg == "--help" || arg == "-h") {
      Write(stdout, quillbox::FromUtf8(kUsage));
      return 0;
    } else if (arg == "--version") {
      return Write(stdout, u"quillbox-report " + VersionString() + u"\n") ? 0 : 1;
    } else if (long long number = 0; arg.size() > 1 && arg[0] == '-' && !ParseInt(arg, number)) {
      // Anywhere on the line: an option after the command word is as
      // unknown as one before it. A negative number is a (bad) argument.
      return Usage("unknown option " + arg);
    } else {
      rest.push_back(arg);
    }
  }
  if (rest.empty()) return Usage("no view given");
  const std::string& view = rest[0];
  // All usage is checked before any file is read: bad usage is exit 2,
  // whatever the score file holds.
  if (view == "export") {
    if (copy || seed) return Usage("export takes no --copy or --seed");
    if (rest.size() != 1) return Usage("too many arguments");
    if (const int bad = CheckFormat(view, format, formatBeforeCommand, {"json", "csv", "tsv"})) return bad;
    const quillbox::ExportFormat exportFormat = format == "csv"   ? quillbox::ExportFormat::Csv
                                                : format == "tsv" ? quillbox::ExportFormat::Tsv
                                                                  : quillbox::ExportFormat::Json;
    return Export(
        file ? *file : quillbox::ScoreFileFor(quillbox::ProgramDirectoryFromSystem(argc > 0 ? argv[0] : nullptr)),
        exportFormat);
  }
  if (view == "compare") {
    if (file || copy || seed) return Usage("compare takes no --file, --copy or --seed: it reads OLD and NEW");
    if (rest.size() != 3) return Usage("compare needs OLD and NEW");
    if (const int bad = CheckFormat(view, format, formatBeforeCommand, {"text", "json"})) return bad;
    return Compare(std::filesystem::u8path(rest[1]), std::filesystem::u8path(rest[2]), format == "json");
  }
  if (view == "versus") {
    if (file || copy || seed) return Usage("versus takes no --file, --copy or --seed: it reads MINE and THEIRS");
    if (rest.size() != 3) return Usage("versus needs MINE and THEIRS");
    if (const int bad = CheckFormat(view, format, formatBeforeCommand, {"text", "json"})) return bad;
    return VersusCommand(std::filesystem::u8path(rest[1]), std::filesystem::u8path(rest[2]), format == "json");
  }
  if (view == "history") {
    if (file || copy || seed)
      return Usage("history takes no --file, --copy or --seed: it reads the files it names");
    if (rest.size() < 3) return Usage("history needs two files or more");
    if (const int bad = CheckFormat(view, format, formatBeforeCommand, {"text", "json", "html"})) return bad;
    return History(std::vector<std::string>(rest.begin() + 1, rest.end()),
                   format == "json"   ? HistoryFormat::Json
                   : format == "html" ? HistoryFormat::Html
                                      : HistoryFormat::Plain);
  }
  if (format) return Usage("--format is for export, compare, versus and history");
  if (std::find(std::begin(kViews), std::end(kViews), view) == std::end(kViews)) {
    return Usage("unknown view " + view);
  }
  const std::size_t wanted = view == "detail" ? 3 : 1;
  if (rest.size() != wanted)
    return Usage(view == "detail" ? "detail needs SONG and PART" : "too many arguments");
  long long song = 0, part = 0;
  if (view == "detail") {
    if (!ParseInt(rest[1], song) || !ParseInt(rest[2], part)) return Usage("SONG and PART are whole numbers");
    // Only the last song depends on the file.
    if (part < 1 || part > 8) return Usage("PART is 1 to 8");
    if (song < 1) return Usage("SONG is 1 or more");
  }

  const char* argv0 = argc > 0 ? argv[0] : nullptr;
  quillbox::TextWindow window({quillbox::build::kVersionMajor, quillbox::build::kVersionMinor},
                              [argv0] { return quillbox::ProgramDirectoryFromSystem(argv0); });
  quillbox::ClockRandomSource random =
      seed ? quillbox::ClockRandomSource(*seed) : quillbox::ClockRandomSource();
  quillbox::App app(window, random, file);

  if (!app.Form_Load()) {
    Tell(quillbox::DescribeLoadError(*app.loadError()));
    return 1;
  }

  if (view == "perfect") {
    app.Radio_MouseDown(0);
  } else if (view == "score") {
    app.Radio_MouseDown(1);
  } else if (view == "playcount") {
    app.Radio_MouseDown(2);
  } else if (view == "rank") {
    if (!app.ShowRankSummary()) {
      Tell("quillbox-report: the rank summary overflows 32-bit arithmetic -- the other views still work");
      return 1;
    }
  } else if (view == "detail") {
    const auto n = app.songs().SongCount();
    if (song > n) {
      Tell("quillbox-report: no song " + rest[1] + " part " + rest[2] + " (songs 1 to " + std::to_string(n) +
           ", parts 1 to 8) -- songs count from the top of the perfect view");
      return 1;
    }
    app.ShowPartDetail(static_cast<std::int32_t>(song), static_cast<std::int32_t>(part));
  } else if (view == "random" || view == "weighted") {
    const bool picked = view == "random" ? app.PickRandomPart() : app.PickWeightedPart();
    if (!picked) {
      Tell("quillbox-report: no songs to pick from -- play a song in the game first, or check the file");
      return 1;
    }
  }

  if (copy) app.Command1_Click();
  // Whatever the window would have shown as a message fails the run, told by
  // the first such message, and nothing partial reaches standard output.
  if (!window.errors().empty()) {
    Tell("quillbox-report: " + OneLine(window.errors().front()));
    return 1;
  }
  if (!WriteOut(copy ? window.clipboard() : window.disp())) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

// Whatever goes wrong ends in one line and exit status 1, never an abort.
int RunGuarded(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    Tell("quillbox-report: not enough memory -- close other programs and try again");
  } catch (const std::exception& e) {
    Tell(std::string("quillbox-report: ") + e.what() + " -- try again; if it fails again, report this line");
  }
  return 1;
}

}  // namespace

#if defined(QUILLBOX_REPORT_BATCH)
// A test build: one run per line of standard input, its arguments separated
// by tabs, each run's output followed by a line "== exit N". It lets a
// cross-check compare thousands of runs of the Windows build with the native
// ones in one process: starting a program under wine takes seconds.
int main() {
  // Error lines go to the output stream, in order with the rest.
#ifdef _WIN32
  _setmode(_fileno(stdout), _O_BINARY);
  _dup2(_fileno(stdout), _fileno(stderr));
#else
  dup2(fileno(stdout), fileno(stderr));
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
#endif
  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> storage{"quillbox-report"};
    for (std::size_t from = 0, tab = 0; tab != std::string::npos; from = tab + 1) {
      tab = line.find('\t', from);
      storage.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
    }
    std::vector<char*> argv;
    argv.reserve(storage.size() + 1);
    for (auto& s : storage) argv.push_back(s.data());
    argv.push_back(nullptr);
    const int code = RunGuarded(static_cast<int>(storage.size()), argv.data());
    // A failed write shows as a difference in the comparison.
    static_cast<void>(std::printf("\n== exit %d\n", code));
    static_cast<void>(std::fflush(stdout));
  }
  return 0;
}
#elif defined(_WIN32)
// Arguments arrive as UTF-16 on Windows; pass them on as UTF-8 so a path
// with Japanese characters survives.
int wmain(int argc, wchar_t** wargv) {
  if (DWORD ids[2]; quillbox::ExplainsItself(GetConsoleProcessList(ids, 2), argc)) {
    Write(stdout, quillbox::kDoubleClickHelp);
    // Line input: returns after Enter, or at once when there is no console input.
    wchar_t line[256];
    DWORD read = 0;
    static_cast<void>(ReadConsoleW(GetStdHandle(STD_INPUT_HANDLE), line, 256, &read, nullptr));
    return 0;
  }
  std::vector<std::string> storage;
  std::vector<char*> argv;
  for (int i = 0; i < argc; ++i) {
    storage.push_back(quillbox::ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wargv[i]))));
  }
  for (auto& s : storage) argv.push_back(s.data());
  argv.push_back(nullptr);
  return RunGuarded(argc, argv.data());
}
#else
int main(int argc, char** argv) {
  // A closed pipe (`quillbox-report export | head`) must fail the write with
  // EPIPE, to be told and end in status 1, not kill the process unannounced.
  static_cast<void>(std::signal(SIGPIPE, SIG_IGN));
  return RunGuarded(argc, argv);
}
#endif
