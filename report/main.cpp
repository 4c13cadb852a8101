// quillbox-report: the same start-up, views and copy as the window, written
// to standard output for scripts and for checking output byte for byte.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include <CLI/CLI.hpp>

#include "core/App.h"
#include "core/FileTime.h"
#include "core/ProgramDirectory.h"
#include "core/Version.h"
#include "render/Compare.h"
#include "render/History.h"
#include "render/Versus.h"
#include "report/Console.h"
#include "report/Export.h"
#include "report/TextWindow.h"

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
    "       quillbox-report compare OLD NEW [--format text|json] [--lang ja|en]\n"
    "       quillbox-report versus MINE THEIRS [--format text|json] [--lang ja|en]\n"
    "       quillbox-report history FILE FILE... [--format text|json|html] [--lang ja|en]\n"
    "       quillbox-report --version\n"
    "  VIEW: perfect | score | playcount | rank | detail SONG PART | random | weighted\n"
    "  export       every field of every song (default json; csv for spreadsheets)\n"
    "  compare      what changed from score file OLD to score file NEW (default text)\n"
    "  versus       score file MINE against a friend's score file THEIRS (default text)\n"
    "  history      each file's totals and ranks, and what changed from each file to\n"
    "               the next, in the order given (default text; html: a page with charts)\n"
    "  --lang ja|en the language of compare, versus and history's text and page\n"
    "               (default: the system's; JSON is the same in both)\n"
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

// UTF-8 bytes, exactly as they are.
bool WriteBytes(std::FILE* stream, const Text& text) {
#ifdef _WIN32
  _setmode(_fileno(stream), _O_BINARY);  // keep every CR LF as it is
#endif
  const std::string utf8 = quillbox::ToUtf8(text);
  const bool written = std::fwrite(utf8.data(), 1, utf8.size(), stream) == utf8.size();
  return std::fflush(stream) == 0 && written;
}

// A terminal gets the text as it shows it; see Write.
bool WriteToTerminal(std::FILE* stream, const Text& text) {
#ifdef _WIN32
  // On a console, UTF-8 bytes would show as mojibake; write the wide text.
  const HANDLE console = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  return quillbox::WriteInPieces(text, [console](const char16_t* piece, std::size_t n) -> std::size_t {
    DWORD written = 0;
    if (WriteConsoleW(console, piece, static_cast<DWORD>(n), &written, nullptr) == 0) return 0;
    return written;
  });
#else
  return WriteBytes(stream, text);
#endif
}

// Writes text to stdout or stderr: UTF-8 bytes, exactly, when redirected; on
// a terminal, with its controls made visible. False when it could not be
// written (a full disk, a closed pipe).
bool Write(std::FILE* stream, const Text& text) {
  if (IsTerminal(stream)) return WriteToTerminal(stream, quillbox::ShownOnTerminal(text));
  return WriteBytes(stream, text);
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

// Exactly 0 to 2^64 - 1 in decimal digits. CLI11's own conversion to
// std::uint64_t takes -1 as 2^64 - 1, 18446744073709551616 as 2^64 - 1, an
// empty value as 0 and 0x10 as 16, so --seed comes in as text and is read
// here; strtoull alone would also take a sign and wrap -1 around.
bool ParseSeed(const std::string& s, std::uint64_t& out) {
  if (s.empty() || s.find_first_not_of("0123456789") != std::string::npos) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoull(s.c_str(), &end, 10);
  return errno == 0 && end == s.c_str() + s.size();
}

// The player's language when --lang names none: Windows's user interface
// language; elsewhere the first of LC_ALL, LC_MESSAGES and LANG that is set.
quillbox::Language SystemLanguage() {
#ifdef _WIN32
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? quillbox::Language::Japanese
                                                                   : quillbox::Language::English;
#else
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    return std::strncmp(value, "ja", 2) == 0 ? quillbox::Language::Japanese : quillbox::Language::English;
  }
  return quillbox::Language::English;
#endif
}

Text VersionString() {
  return quillbox::FromUtf8(std::to_string(quillbox::build::kVersionMajor) + "." +
                            std::to_string(quillbox::build::kVersionMinor) + "." +
                            std::to_string(quillbox::build::kVersionPatch));
}

// A score file read for export, compare, versus or history; its load error
// is told as the views tell it, with a next step that fits who named it.
// Files named for compare, versus and history must be score files; export
// reads a file as the window reads it at start-up.
std::optional<quillbox::Songs> Load(const std::filesystem::path& path,
                                    quillbox::NamedBy namedBy = quillbox::NamedBy::Command,
                                    quillbox::LoadMode mode = quillbox::LoadMode::ScoreFileOnly) {
  quillbox::LoadResult loaded = quillbox::LoadScoreFile(path, mode);
  if (loaded.error) {
    Tell(quillbox::DescribeLoadError(*loaded.error, namedBy));
    return std::nullopt;
  }
  return std::move(loaded.songs);
}

int Export(const std::filesystem::path& path, quillbox::ExportFormat format) {
  const std::optional<quillbox::Songs> songs = Load(path, quillbox::NamedBy::FileOption, quillbox::LoadMode::StartUp);
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

int Compare(const std::filesystem::path& oldPath, const std::filesystem::path& newPath, bool json,
            quillbox::Language language) {
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
                         : quillbox::ComparisonText(*old, *now, names, comparison, language);
  if (!WriteOut(text)) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

int VersusCommand(const std::filesystem::path& minePath, const std::filesystem::path& theirPath, bool json,
                  quillbox::Language language) {
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
                         : quillbox::VersusText(*mine, *theirs, names, versus, language);
  if (!WriteOut(text)) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

enum class HistoryFormat { Plain, Json, Html };

// The files are read one after another and only the last table is kept:
// ten large backups need no more memory than two.
int History(const std::vector<std::string>& paths, HistoryFormat format, quillbox::Language language) {
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
                    : format == HistoryFormat::Html ? quillbox::HistoryHtml(history, ranks, language)
                                                    : quillbox::HistoryText(history, language);
  if (!WriteOut(text)) {
    Tell(kCannotWrite);
    return 1;
  }
  return 0;
}

// What the command line asks for, checked: a run never starts on bad usage.
struct Arguments {
  std::string command;                // a view, or export, compare, versus, history
  std::vector<std::string> operands;  // the command's files, or detail's SONG and PART
  std::optional<std::filesystem::path> file;
  bool copy = false;
  std::optional<std::uint64_t> seed;
  std::optional<std::string> format;
  std::optional<std::string> lang;  // compare, versus, history
  long long song = 0;  // detail
  long long part = 0;
};

// A command word, the operands it names in its help and the formats it takes
// (none: it takes no --format).
struct CommandShape {
  const char* word;
  const char* description;
  std::vector<const char*> operands;
  std::vector<const char*> formats;
};

const std::vector<CommandShape>& Commands() {
  static const std::vector<CommandShape> commands = {
      {"perfect", "the hi-perfect chart", {}, {}},
      {"score", "the best score chart", {}, {}},
      {"playcount", "the play count chart", {}, {}},
      {"rank", "the rank summary", {}, {}},
      {"detail", "everything the file holds about one song's part", {"SONG", "PART"}, {}},
      {"random", "a song and part picked at random", {}, {}},
      {"weighted", "a pick that favours the parts played least", {}, {}},
      {"export",
       "every field of every song (default json; csv for spreadsheets)",
       {},
       {"json", "csv", "tsv"}},
      {"compare", "what changed from score file OLD to score file NEW", {"OLD", "NEW"}, {"text", "json"}},
      {"versus",
       "score file MINE against a friend's score file THEIRS",
       {"MINE", "THEIRS"},
       {"text", "json"}},
      {"history",
       "each file's totals and ranks, and what changed from each file to the next",
       {"FILE"},
       {"text", "json", "html"}},
  };
  return commands;
}

std::string Join(const std::vector<const char*>& words, const char* separator) {
  std::string list;
  for (const char* word : words) list += (list.empty() ? "" : separator) + std::string(word);
  return list;
}

// The checks CLI11 leaves to us: what may be combined with what, how many
// operands a command takes, and their values. Empty when all is well.
std::string CheckUsage(Arguments& a, const CommandShape& shape) {
  const std::string& command = a.command;
  if (command == "compare" || command == "versus" || command == "history") {
    if (a.file || a.copy || a.seed) {
      return command + " takes no --file, --copy or --seed: it reads " +
             (command == "compare"  ? "OLD and NEW"
              : command == "versus" ? "MINE and THEIRS"
                                    : "the files it names");
    }
    if (command == "history" && a.operands.size() < 2) return "history needs two files or more";
    if (command != "history" && a.operands.size() != 2)
      return command + " needs " + (command == "compare" ? "OLD and NEW" : "MINE and THEIRS");
  } else if (command == "export") {
    if (a.copy || a.seed) return "export takes no --copy or --seed";
  } else if (command == "detail") {
    if (a.operands.size() != 2) return "detail needs SONG and PART";
    if (!ParseInt(a.operands[0], a.song) || !ParseInt(a.operands[1], a.part))
      return "SONG and PART are whole numbers";
    // Only the last song depends on the file.
    if (a.part < 1 || a.part > 8) return "PART is 1 to 8";
    if (a.song < 1) return "SONG is 1 or more";
  }
  if (a.format && std::find_if(shape.formats.begin(), shape.formats.end(),
                               [&](const char* f) { return *a.format == f; }) == shape.formats.end()) {
    return command + " --format is one of " + Join(shape.formats, ", ");
  }
  if (a.lang && *a.lang != "ja" && *a.lang != "en") return "--lang is ja or en";
  return {};
}

bool ReadsScoreFiles(const std::string& command) {
  return command == "compare" || command == "versus" || command == "history";
}

// An argument CLI11 could place nowhere: an option nobody takes (wherever it
// stands; a negative number is a bad operand, not an option), else a word
// too many.
std::string DescribeExtra(const std::vector<std::string>& extras, const std::string& command) {
  for (const std::string& extra : extras) {
    if (long long number = 0; extra.size() > 1 && extra[0] == '-' && !ParseInt(extra, number)) {
      if (extra == "--format") {
        return command == "export" || command == "compare" || command == "versus" || command == "history"
                   ? "--format goes after " + command
                   : "--format is for export, compare, versus and history";
      }
      if (extra == "--lang") {
        return ReadsScoreFiles(command) ? "--lang goes after " + command
                                        : "--lang is for compare, versus and history";
      }
      return "unknown option " + extra;
    }
  }
  if (command.empty()) return "unknown view " + extras.front();
  if (command == "detail") return "detail needs SONG and PART";
  if (command == "compare" || command == "versus")
    return command + " needs " + (command == "compare" ? "OLD and NEW" : "MINE and THEIRS");
  return "too many arguments";
}

// Either the checked arguments of a run, or the exit status of a run that
// ends here (help, version, bad usage).
std::variant<Arguments, int> ParseArguments(int argc, char** argv) {
  CLI::App app("quillbox-report: the score file's views, export, compare, versus and history",
               "quillbox-report");
  app.allow_extras();
  // CLI11 would take /name as an option on Windows alone; a path may begin
  // with a slash, and both builds must read a command line alike.
  app.allow_windows_style_options(false);
  Arguments a;
  std::string file, seed;
  bool version = false;
  app.add_option("--file", file, "read this score file instead of hsc.ini beside the program");
  app.add_flag("--copy", a.copy, "print what the copy button puts on the clipboard");
  app.add_option("--seed", seed, "fixed seed for random and weighted (default: the clock)");
  app.add_flag("--version", version, "print the program's version and exit");
  app.require_subcommand(0, 1);
  std::string format, lang;
  // Each command's operands land in these; a missing one stays uncounted.
  std::vector<std::string> pair(2);
  std::vector<std::string> files;
  for (const CommandShape& shape : Commands()) {
    CLI::App* sub = app.add_subcommand(shape.word, shape.description);
    // --file, --copy and --seed may follow the command word too.
    sub->fallthrough();
    sub->allow_extras();
    if (!shape.formats.empty())
      sub->add_option("--format", format, "one of " + Join(shape.formats, ", "))->type_name("FORMAT");
    if (ReadsScoreFiles(shape.word))
      sub->add_option("--lang", lang, "ja or en (default: the system's language)")->type_name("LANG");
    if (shape.operands.size() == 2) {
      const bool detail = shape.word == std::string("detail");
      sub->add_option(shape.operands[0], pair[0],
                      detail ? "1 or more, counted from the top of the perfect view" : "a score file")
          ->type_name(detail ? "N" : "PATH");
      sub->add_option(shape.operands[1], pair[1], detail ? "1 to 8" : "a score file")
          ->type_name(detail ? "N" : "PATH");
    } else if (!shape.operands.empty()) {
      sub->add_option(shape.operands[0], files, "two score files or more, in the order to compare them")
          ->type_name("PATH");
    }
  }
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    const std::vector<CLI::App*> chosen = app.get_subcommands();
    // The tool's own usage says how the commands combine; a command's help
    // is CLI11's listing of its operands and options.
    Write(stdout, quillbox::FromUtf8(chosen.empty() ? std::string(kUsage) : app.help()));
    return 0;
  } catch (const CLI::ParseError& e) {
    return Usage(e.what());
  }
  const std::vector<CLI::App*> chosen = app.get_subcommands();
  a.command = chosen.empty() ? std::string() : chosen.front()->get_name();
  // With extras allowed, CLI11 also passes on the "--" that ended the options.
  std::vector<std::string> extras = app.remaining(true);
  extras.erase(std::remove(extras.begin(), extras.end(), "--"), extras.end());
  if (!extras.empty()) return Usage(DescribeExtra(extras, a.command));
  if (version) return Write(stdout, u"quillbox-report " + VersionString() + u"\n") ? 0 : 1;
  if (chosen.empty()) return Usage("no view given");
  const CommandShape& shape = *std::find_if(Commands().begin(), Commands().end(),
                                          [&](const CommandShape& c) { return a.command == c.word; });
  if (app.count("--file") > 0) a.file = std::filesystem::u8path(file);
  if (app.count("--seed") > 0) {
    std::uint64_t n = 0;
    if (!ParseSeed(seed, n)) return Usage("--seed needs a whole number from 0 to 18446744073709551615");
    a.seed = n;
  }
  if (const CLI::Option* given = chosen.front()->get_option_no_throw("--format"); given && given->count() > 0)
    a.format = format;
  if (const CLI::Option* given = chosen.front()->get_option_no_throw("--lang"); given && given->count() > 0)
    a.lang = lang;
  a.operands = std::move(files);
  for (std::size_t i = 0; i < shape.operands.size() && shape.operands.size() == 2; ++i) {
    if (chosen.front()->count(shape.operands[i]) > 0) a.operands.push_back(pair[i]);
  }
  if (const std::string problem = CheckUsage(a, shape); !problem.empty()) return Usage(problem);
  return a;
}

int Run(int argc, char** argv) {
  std::variant<Arguments, int> parsed = ParseArguments(argc, argv);
  if (const int* status = std::get_if<int>(&parsed)) return *status;
  const Arguments& a = std::get<Arguments>(parsed);
  const std::string& view = a.command;
  const quillbox::Language language = !a.lang          ? SystemLanguage()
                                      : *a.lang == "ja" ? quillbox::Language::Japanese
                                                        : quillbox::Language::English;
  if (view == "export") {
    const quillbox::ExportFormat exportFormat = a.format == "csv"   ? quillbox::ExportFormat::Csv
                                                : a.format == "tsv" ? quillbox::ExportFormat::Tsv
                                                                    : quillbox::ExportFormat::Json;
    return Export(
        a.file ? *a.file
               : quillbox::ScoreFileFor(quillbox::ProgramDirectoryFromSystem(argc > 0 ? argv[0] : nullptr)),
        exportFormat);
  }
  if (view == "compare") {
    return Compare(std::filesystem::u8path(a.operands[0]), std::filesystem::u8path(a.operands[1]),
                   a.format == "json", language);
  }
  if (view == "versus") {
    return VersusCommand(std::filesystem::u8path(a.operands[0]), std::filesystem::u8path(a.operands[1]),
                         a.format == "json", language);
  }
  if (view == "history") {
    return History(a.operands, a.format == "json"   ? HistoryFormat::Json
                               : a.format == "html" ? HistoryFormat::Html
                                                    : HistoryFormat::Plain,
                   language);
  }
  const long long song = a.song;
  const long long part = a.part;
  const std::optional<std::filesystem::path>& file = a.file;
  const bool copy = a.copy;
  const std::optional<std::uint64_t>& seed = a.seed;
  const std::vector<std::string>& rest = a.operands;

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
      Tell("quillbox-report: no song " + rest[0] + " part " + rest[1] + " (songs 1 to " + std::to_string(n) +
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
