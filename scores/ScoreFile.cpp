#include "scores/ScoreFile.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/Numbers.h"
#include "scores/Cp932.h"

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(QUILLBOX_PORTABLE_CORE)
#include <emmintrin.h>
#endif

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace quillbox {
namespace {

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
// Messages show this much of an offending line; an error keeps one character
// more, to tell that the line went on.
constexpr std::size_t kMaxShown = 200;

// Whole-number bounds: most values are compared as whole numbers, and a
// rounded real converts to them exactly.
struct Field {
  const char* name;
  const char16_t* key;  // as the line shows it, for the Japanese message
  std::int64_t lo;
  std::int64_t hi;
};
constexpr Field kHiPerfect{"HiPerfect", u"HPR", 0, 255};
constexpr Field kBestPerfect{"BestPerfect", u"PR", 0, 255};
constexpr Field kBestScore{"BestScore", u"SCORE", -2147483648, 2147483647};
constexpr Field kPlayCount{"PlayCount", u"HPs", -32768, 32767};

// The one-digit part and rank numbers of a key, and how a bad one is told.
struct IndexRange {
  int last;
  LoadErrorKind kind;
  const char* noun;
  const char16_t* nounJa;
};
constexpr IndexRange kPart{8, LoadErrorKind::PartOutOfRange, "part number", u"パート番号"};
constexpr IndexRange kRank{3, LoadErrorKind::RankOutOfRange, "rank number", u"順位番号"};

// Lines are examined either as bytes, when all of them are ASCII (which code
// page 932 maps to the same characters), or decoded. Most lines of a score
// file are short ASCII key lines, so they never pay for a decoder.
template <typename Char>
using Line = std::basic_string_view<Char>;

template <typename Char>
Text Widen(Line<Char> line) {
  Text out(line.size(), u'\0');
  std::transform(line.begin(), line.end(), out.begin(),
                 [](Char c) { return static_cast<char16_t>(static_cast<std::make_unsigned_t<Char>>(c)); });
  return out;
}

// A title as every view shows it. A NUL would end the text in the Windows
// text box and in clipboard readers, cutting off every song after it, so it
// is shown as its picture, as load errors already show control characters.
template <typename Char>
Text TitleText(Line<Char> title) {
  Text out = Widen(title);
  std::replace(out.begin(), out.end(), u'\0', u'\u2400');
  return out;
}

// A digit position: '0'-'9' give their value, anything else (or nothing) 0.
template <typename Char>
int DigitAt(Line<Char> line, std::size_t position1) {
  if (position1 > line.size()) return 0;
  const Char c = line[position1 - 1];
  return (c >= '0' && c <= '9') ? c - '0' : 0;
}

template <typename Char>
bool StartsWith(Line<Char> line, std::string_view key) {
  if (line.size() < key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (line[i] != static_cast<Char>(key[i])) return false;
  }
  return true;
}

// The value texts the game writes are plain whole numbers: an optional '-'
// and up to 15 digits, which read exactly and need no rounding. False for
// every other text, which ReadValue reads.
template <typename Char>
bool PlainWhole(Line<Char> text, std::int64_t& value) {
  const std::size_t digitsFrom = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() == digitsFrom || text.size() - digitsFrom > 15) return false;
  std::int64_t magnitude = 0;
  for (std::size_t i = digitsFrom; i < text.size(); ++i) {
    const auto digit = static_cast<unsigned>(text[i]) - unsigned{'0'};
    if (digit > 9) return false;
    magnitude = magnitude * 10 + digit;
  }
  value = digitsFrom == 1 ? -magnitude : magnitude;
  return true;
}

// The same for a value of at most eight digits, all at once: the game's
// values are that short, and a digit loop of unpredictable length costs more
// than the digits. Reads eight bytes from `text`, which `readable` must allow.
inline bool ShortWhole(std::string_view text, const char* readable, std::int64_t& value) {
  if constexpr (std::endian::native != std::endian::little) return false;
  if (text.empty() || text.size() > 8 || readable - text.data() < 8) return false;
  std::uint64_t word;
  std::memcpy(&word, text.data(), 8);
  const std::uint64_t keep = ~std::uint64_t{0} >> (8 * (8 - text.size()));
  word &= keep;
  constexpr std::uint64_t kNibbles = 0xF0F0F0F0F0F0F0F0u;
  const std::uint64_t zeros = 0x3030303030303030u & keep;
  // Every kept byte is 0x30-0x3F, and stays below 0x40 with 6 added: '0'-'9'.
  if ((word & kNibbles) != zeros || ((word + 0x0606060606060606u) & kNibbles) != zeros) return false;
  // The first digit is the lowest byte; moved up, the bytes below it are
  // leading zeros. Then pairs, fours and eights of digits are combined.
  word <<= 8 * (8 - text.size());
  word = ((word & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
  word = ((word & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
  value = static_cast<std::int64_t>(((word & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32);
  return true;
}

template <typename Char>
double ValueOf(Line<Char> text) {
  if constexpr (std::is_same_v<Char, char16_t>) {
    return ReadValue(text);
  } else {
    return ReadValue(Widen(text));
  }
}

// Enough room for the songs of a game's file, so that the table is not
// copied while it grows. Every header line holds a 0x5C byte, so lines with
// one bound the count from above; `bytes` is the file's beginning, and its
// share of such lines is taken for the whole `fileSize`. A file of many tiny
// such lines would make the bound far too large, and is left to grow as it
// goes.
std::size_t SongsToReserve(std::string_view bytes, std::uintmax_t fileSize) {
  if (bytes.empty()) return 0;  // memchr must not see the null data of an empty view
  std::uintmax_t lines = 0;
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  while ((p = static_cast<const char*>(std::memchr(p, '\\', static_cast<std::size_t>(end - p)))) != nullptr) {
    ++lines;
    while (p < end && *p != '\r' && *p != '\n') ++p;
  }
  if (fileSize > bytes.size()) lines = lines * fileSize / bytes.size() + lines / 8 + 1;
  const std::uintmax_t size = std::max<std::uintmax_t>(fileSize, bytes.size());
  return lines * sizeof(SongRecord) <= size ? static_cast<std::size_t>(lines) : 0;
}

// Where the line starting at `p` ends (its CR or LF, or `end`), and whether
// it holds a byte outside ASCII or a backslash.
struct LineScan {
  const char* stop;
  bool ascii;
  bool backslash;
};

#if (defined(__SSE2__) || defined(_M_X64)) && !defined(QUILLBOX_PORTABLE_CORE)
// Finds lines 64 bytes at a time: one pass of SSE2 compares marks every line
// end, byte outside ASCII and backslash of a stretch, and each line is then a
// few bit operations. Score files are millions of lines of about a dozen
// bytes, too short for a scan per line to get going.
class LineFinder {
 public:
  LineFinder(const char* p, const char* end) : end_(end) { Load(p); }

  // The line starting at `p`, which is before the end and not before where
  // the previous line started.
  LineScan Next(const char* p) {
    std::uint64_t highs = 0;
    std::uint64_t backslashes = 0;
    for (;;) {
      const auto offset = static_cast<std::size_t>(p - base_);
      if (offset >= 64) {
        Load(base_ + 64);
        continue;
      }
      const std::uint64_t live = ~std::uint64_t{0} << offset;
      const std::uint64_t stops = ends_ & live;
      if (stops != 0) {
        const std::uint64_t before = live & ((stops & (0 - stops)) - 1);
        highs |= highs_ & before;
        backslashes |= backslashes_ & before;
        return {base_ + std::countr_zero(stops), highs == 0, backslashes != 0};
      }
      highs |= highs_ & live;
      backslashes |= backslashes_ & live;
      if (end_ - base_ <= 64) return {end_, highs == 0, backslashes != 0};
      p = base_ + 64;
    }
  }

 private:
  void Load(const char* at) {
    base_ = at;
    ends_ = highs_ = backslashes_ = 0;
    if (end_ - at >= 64) {
      const __m128i cr = _mm_set1_epi8('\r');
      const __m128i lf = _mm_set1_epi8('\n');
      const __m128i backslash = _mm_set1_epi8('\\');
      for (std::size_t i = 0; i < 4; ++i) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * i));
        const auto mask = [i](__m128i marked) {
          return std::uint64_t{static_cast<std::uint16_t>(_mm_movemask_epi8(marked))} << (16 * i);
        };
        ends_ |= mask(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        highs_ |= mask(bytes);
        backslashes_ |= mask(_mm_cmpeq_epi8(bytes, backslash));
      }
      return;
    }
    // The last few bytes: nothing may be read past the end.
    for (std::size_t i = 0; at + i < end_; ++i) {
      const auto c = static_cast<unsigned char>(at[i]);
      const std::uint64_t bit = std::uint64_t{1} << i;
      if (c == '\r' || c == '\n') ends_ |= bit;
      if (c >= 0x80) highs_ |= bit;
      if (c == '\\') backslashes_ |= bit;
    }
  }

  const char* base_ = nullptr;
  const char* const end_;
  std::uint64_t ends_ = 0;
  std::uint64_t highs_ = 0;
  std::uint64_t backslashes_ = 0;
};
#else
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;
// A high bit in each byte of `word` that equals `byte`; exact up to and
// including the lowest such byte, which is all this file asks of it.
constexpr std::uint64_t BytesEqual(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kOnes * byte);
  return (x - kOnes) & ~x & kHighs;
}

// Without SSE2, each line is scanned eight bytes at a time.
inline LineScan ScanLine(const char* p, const char* end) {
  std::uint64_t seen = 0;
  std::uint64_t backslashes = 0;
  if constexpr (std::endian::native == std::endian::little) {
    while (end - p >= 8) {
      std::uint64_t word;
      std::memcpy(&word, p, 8);
      const std::uint64_t stops = BytesEqual(word, '\r') | BytesEqual(word, '\n');
      // The bytes before the first CR or LF; all eight when there is none.
      const std::uint64_t before = stops == 0 ? ~std::uint64_t{0} : (stops & (0 - stops)) / 0x80 - 1;
      seen |= word & before;
      backslashes |= BytesEqual(word, '\\') & before;
      if (stops != 0) {
        p += std::countr_zero(stops) / 8;
        return {p, (seen & kHighs) == 0, backslashes != 0};
      }
      p += 8;
    }
  }
  for (; p < end; ++p) {
    const auto c = static_cast<unsigned char>(*p);
    if (c == '\r' || c == '\n') break;
    seen |= c;
    backslashes |= c == '\\';
  }
  return {p, (seen & kHighs) == 0, backslashes != 0};
}

class LineFinder {
 public:
  LineFinder(const char*, const char* end) : end_(end) {}
  LineScan Next(const char* p) const { return ScanLine(p, end_); }

 private:
  const char* const end_;
};
#endif

class Parser {
 public:
  void Reserve(std::size_t songs) {
    if (songs > 0) result_.songs.Reserve(songs);
  }

  // Handles every whole line in [p, end) and returns where the first line
  // that may go on in the next block starts; with `last`, every line is
  // whole. Stops at the first error.
  const char* Lines(const char* p, const char* const end, bool last) {
    blockEnd_ = end;
    LineFinder finder(p, end);
    while (p < end && !result_.error) {
      // A line ends at CR, CR LF or a lone LF. None of these bytes can be the
      // second byte of a double-byte character, so splitting before decoding
      // is safe.
      const LineScan line = finder.Next(p);
      // A line's end, and a CR that an LF may follow, must be seen whole.
      if (!last && (line.stop == end || (*line.stop == '\r' && line.stop + 1 == end))) return p;
      if (++lineNumber_ > kMaxCount) {
        Fail(LoadErrorKind::TooMany, Line<char>{}, "more lines than a 32-bit count holds", u"行数が多すぎます");
        break;
      }
      const std::string_view raw(p, static_cast<std::size_t>(line.stop - p));
      if (line.ascii) {
        HandleLine(raw, line.backslash);
      } else {
        Text decoded;
        try {
          decoded = DecodeCp932(raw);
        } catch (const Cp932Unavailable& e) {
          Fail(LoadErrorKind::NoDecoder, Line<char>{}, e.what(),
               u"この環境にはコードページ932（シフトJIS）の変換表がないため、ファイルを読めません");
          result_.error->line = 0;
          break;
        }
        HandleLine(Line<char16_t>(decoded), decoded.find(u'\\') != Text::npos);
      }
      p = line.stop;
      if (p < end) p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }
    return p;
  }

  bool Failed() const { return result_.error.has_value(); }
  LoadResult Result() { return std::move(result_); }

 private:
  template <typename Char>
  void HandleLine(Line<Char> line, bool hasBackslash) {
    if (hasBackslash) {
      const std::size_t backslash = line.find(static_cast<Char>('\\'));
      if (backslash == 0) {
        Fail(LoadErrorKind::NoTitle, line, "header line starts with the backslash, so it has no title",
             u"曲名の行が「\\」で始まっていて、曲名がありません");
        return;
      }
      if (result_.songs.SongCount() >= kMaxCount) {
        Fail(LoadErrorKind::TooMany, line, "more songs than a 32-bit count holds",
             u"曲数が多すぎます");
        return;
      }
      song_ = &result_.songs.AddSong();
      song_->Title = TitleText(line.substr(1, backslash - 1));
      return;
    }
    if (song_ == nullptr) return;  // key lines before the first song
    SongRecord& song = *song_;

    // The first character tells the keys apart, without comparing for each.
    if (line.empty()) return;
    switch (line[0]) {
      case 'H':
        if (StartsWith(line, "HPR")) {
          if (!IndexOk(line, 4, kPart)) return;
          Store(line, 6, kHiPerfect, song.HiPerfect[Index(line, 4)]);
        } else if (StartsWith(line, "HPs")) {
          if (!IndexOk(line, 4, kPart)) return;
          Store(line, 6, kPlayCount, song.PlayCount[Index(line, 4)]);
        }
        break;
      case 'P':
        if (StartsWith(line, "PR")) {
          if (!IndexOk(line, 4, kPart) || !IndexOk(line, 3, kRank)) return;
          Store(line, 6, kBestPerfect, song.BestPerfect[Index(line, 4)][Index(line, 3)]);
        }
        break;
      case 'S':
        if (StartsWith(line, "SCORE")) {
          if (!IndexOk(line, 7, kPart) || !IndexOk(line, 6, kRank)) return;
          Store(line, 9, kBestScore, song.BestScore[Index(line, 7)][Index(line, 6)]);
        }
        break;
      default: break;
    }
  }

  template <typename Char>
  static std::size_t Index(Line<Char> line, std::size_t pos) {
    return static_cast<std::size_t>(DigitAt(line, pos));
  }

  // The part or rank digit at `pos` (1-based), which must be at most its
  // table's last index.
  template <typename Char>
  bool IndexOk(Line<Char> line, std::size_t pos, const IndexRange& range) {
    const int index = DigitAt(line, pos);
    if (index <= range.last) [[likely]] return true;
    FailIndex(line, index, range);
    return false;
  }

  template <typename Char>
  void FailIndex(Line<Char> line, int index, const IndexRange& range) {
    Fail(range.kind, line,
         std::string(range.noun) + " " + std::to_string(index) + " is out of range (0 to " +
             std::to_string(range.last) + ")",
         Text(range.nounJa) + u" " + Decimal(index) + u" は範囲外です（0～" + Decimal(range.last) + u"）");
  }

  template <typename Char, typename T>
  void Store(Line<Char> line, std::size_t valuePos1, const Field& field, T& target) {
    const Line<Char> valueText = valuePos1 <= line.size() ? line.substr(valuePos1 - 1) : Line<Char>{};
    std::int64_t whole = 0;
    bool plain = false;
    if constexpr (std::is_same_v<Char, char>) plain = ShortWhole(valueText, blockEnd_, whole);
    if (plain || PlainWhole(valueText, whole)) {
      if (whole >= field.lo && whole <= field.hi) [[likely]] {
        target = static_cast<T>(whole);
        return;
      }
      return FailRange(line, field);
    }
    const double rounded = RoundHalfEven(ValueOf(valueText));
    if (!(rounded >= static_cast<double>(field.lo) && rounded <= static_cast<double>(field.hi))) {
      return FailRange(line, field);
    }
    target = static_cast<T>(rounded);
  }

  template <typename Char>
  void FailRange(Line<Char> line, const Field& field) {
    const std::int64_t lo = field.lo;
    const std::int64_t hi = field.hi;
    Fail(LoadErrorKind::ValueOutOfRange, line,
         std::string("value is out of range for ") + field.name + " (" + std::to_string(lo) + " to " +
             std::to_string(hi) + ")",
         Text(field.key) + u" の値が範囲外です（" + Decimal(lo) + u"～" + Decimal(hi) + u"）");
  }

  // Keeps only as much of the line as a message shows: a bad line of a
  // hundred megabytes must not be copied whole.
  template <typename Char>
  void Fail(LoadErrorKind kind, Line<Char> line, std::string reason, Text reasonJa) {
    LoadError error;
    error.kind = kind;
    error.line = lineNumber_;
    error.lineText = Widen(line.substr(0, kMaxShown + 1));
    error.reason = std::move(reason);
    error.reasonJa = std::move(reasonJa);
    result_.error = std::move(error);
  }

  LoadResult result_;
  SongRecord* song_ = nullptr;  // the last song added, which key lines fill
  const char* blockEnd_ = nullptr;  // where the bytes being read end
  std::int64_t lineNumber_ = 0;
};

// Messages must stay one line and readable: control characters are shown as
// their pictures and very long lines are cut.
Text Printable(const Text& line) {
  Text out;
  for (std::size_t i = 0; i < line.size() && i < kMaxShown; ++i) {
    const char16_t c = line[i];
    out += c < 0x20 ? static_cast<char16_t>(0x2400 + c) : (c == 0x7F ? u'\u2421' : c);
  }
  if (line.size() > kMaxShown) out += u"…";
  return out;
}

std::string PathText(const std::filesystem::path& path) {
  const auto u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

}  // namespace

double ReadValue(std::u16string_view text) {
  std::string digits;  // sign, integer digits, '.', fraction digits
  bool seenDigit = false;
  bool seenPoint = false;
  bool seenSign = false;
  bool negative = false;
  std::size_t integerDigits = 0;
  for (const char16_t c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n') continue;
    if ((c == u'+' || c == u'-') && !seenSign && !seenDigit && !seenPoint) {
      seenSign = true;
      negative = c == u'-';
    } else if (c == u'.' && !seenPoint) {
      seenPoint = true;
      digits += '.';
    } else if (c >= u'0' && c <= u'9') {
      // Leading zeros carry nothing and would only lengthen the text.
      if (c == u'0' && !seenPoint && integerDigits == 0) {
        seenDigit = true;
        continue;
      }
      seenDigit = true;
      if (!seenPoint) ++integerDigits;
      digits += static_cast<char>(c);
    } else {
      break;
    }
  }
  if (!seenDigit) return 0.0;
  if (digits.empty() || digits.front() == '.') digits.insert(digits.begin(), '0');
  double value = 0.0;
  const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                         std::chars_format::fixed);
  (void)ptr;
  if (ec == std::errc::result_out_of_range) {
    // Too large for a double, or so small that it is 0.
    value = integerDigits > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

LoadResult ParseScoreFile(std::string_view bytes) {
  Parser parser;
  parser.Reserve(SongsToReserve(bytes, bytes.size()));
  parser.Lines(bytes.data(), bytes.data() + bytes.size(), true);
  return parser.Result();
}

LoadResult LoadScoreFile(const std::filesystem::path& file) {
  auto fileError = [&](FileProblem problem, std::string reason, Text reasonJa) {
    LoadResult result;
    LoadError error;
    error.kind = LoadErrorKind::FileError;
    error.problem = problem;
    error.path = file;
    error.reason = std::move(reason);
    error.reasonJa = std::move(reasonJa);
    result.error = std::move(error);
    return result;
  };

  auto errnoError = [&](int code) {
    // The common cases in the user's language; only rare ones add the
    // system's own (English) words.
    std::string reason = std::generic_category().message(code);
    const auto [problem, ja] = [&]() -> std::pair<FileProblem, Text> {
      switch (code) {
        case ENOENT: return {FileProblem::Missing, u"ファイルがありません"};
        case EPERM:
        case EACCES: return {FileProblem::NoPermission, u"ファイルを読む権限がありません"};
        case EISDIR:
          return {FileProblem::Folder, FromUtf8(PathText(file.filename())) + u" はファイルではなくフォルダーです"};
        case ENOTDIR: return {FileProblem::NotAFolderOnPath, u"パスの途中にフォルダーではないものがあります"};
        case ENAMETOOLONG: return {FileProblem::PathTooLong, u"パスが長すぎます"};
        case ELOOP: return {FileProblem::LinkLoop, u"シンボリックリンクが循環しています"};
        case EIO: return {FileProblem::ReadFailed, u"読み込み中に入出力エラーが起きました"};
        case EMFILE:
        case ENFILE: return {FileProblem::TooManyOpen, u"開いているファイルが多すぎます"};
        case ENOMEM: return {FileProblem::OutOfMemory, u"メモリが足りません"};
        default: return {FileProblem::Other, u"ファイルを読み込めません（" + FromUtf8(reason) + u"）"};
      }
    }();
    return fileError(problem, reason, ja);
  };

#ifdef _WIN32
  // A game folder can lie deeper than MAX_PATH; the \\?\ form lifts that limit.
  // (Normalising would turn an existing \\?\ or \\server prefix into a plain root.)
  std::wstring name = file.wstring().rfind(LR"(\\)", 0) == 0 ? file.wstring() : file.lexically_normal().wstring();
  if (name.size() >= MAX_PATH && file.is_absolute() && name.rfind(LR"(\\)", 0) != 0) {
    name.insert(0, LR"(\\?\)");
  } else if (name.size() >= MAX_PATH && name.rfind(LR"(\\)", 0) == 0 && name.rfind(LR"(\\?\)", 0) != 0) {
    name.replace(0, 2, LR"(\\?\UNC\)");
  }
  const std::filesystem::path target(name);
#endif

  // Only a regular file is sure to end: opening a FIFO waits for a writer,
  // and a device such as /dev/zero would be read until memory runs out.
  auto notRegular = [&] {
    return fileError(FileProblem::NotRegular, "Not a regular file", u"通常のファイルではありません");
  };

#ifdef _WIN32
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(target, ec);
  if (std::filesystem::is_directory(status)) return errnoError(EISDIR);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) return notRegular();
  // CreateFileW takes the \\?\ form; the C runtime's _wfopen does not.
  const HANDLE os = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (os == INVALID_HANDLE_VALUE) {
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
      case ERROR_BAD_NETPATH:
      case ERROR_BAD_NET_NAME: return errnoError(ENOENT);
      case ERROR_ACCESS_DENIED: return errnoError(EACCES);
      case ERROR_FILENAME_EXCED_RANGE: return errnoError(ENAMETOOLONG);
      case ERROR_CANT_RESOLVE_FILENAME: return errnoError(ELOOP);
      case ERROR_TOO_MANY_OPEN_FILES: return errnoError(EMFILE);
      case ERROR_NOT_ENOUGH_MEMORY:
      case ERROR_OUTOFMEMORY: return errnoError(ENOMEM);
      // Another program holding the file is something the user can wait out
      // or close, not a missing permission.
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return fileError(FileProblem::InUse, "the file is in use by another program",
                         u"ほかのプログラムがファイルを使用中です");
      default: return errnoError(EIO);
    }
  }
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(os), _O_RDONLY | _O_BINARY);
  std::FILE* raw = fd == -1 ? nullptr : _fdopen(fd, "rb");
  if (raw == nullptr) {
    if (fd == -1) CloseHandle(os);
    else _close(fd);
    return errnoError(EIO);
  }
#else
  // Opened first and then examined, so that nothing can be swapped in
  // between; O_NONBLOCK keeps the open of a FIFO from waiting for a writer.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd == -1) return errnoError(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    const bool directory = S_ISDIR(info.st_mode);
    ::close(fd);
    if (directory) return errnoError(EISDIR);
    return info.st_mode == 0 ? errnoError(code) : notRegular();
  }
  std::FILE* raw = ::fdopen(fd, "rb");
  if (raw == nullptr) {
    const int code = errno;
    ::close(fd);
    return errnoError(code);
  }
#endif
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> handle(raw, &std::fclose);

  try {
    // The file is read in blocks and parsed as it comes, so that it is never
    // held whole: memory is the table, not the file. A line longer than a
    // block is gathered in a buffer as long as the rest of the file, once.
#ifdef _WIN32
    std::uintmax_t fileSize = std::filesystem::file_size(target, ec);
    if (ec) fileSize = 0;
#else
    const auto fileSize = static_cast<std::uintmax_t>(info.st_size);
#endif
    constexpr std::size_t kBlock = std::size_t{1} << 18;
    std::vector<char> buffer(kBlock);
    std::size_t held = 0;  // bytes of a line that goes on, kept at the front
    std::uintmax_t read = 0;
    Parser parser;
    for (bool first = true;; first = false) {
      if (held == buffer.size()) {
        const std::uintmax_t rest = fileSize > read ? fileSize - read : 0;
        buffer.resize(static_cast<std::size_t>(std::max<std::uintmax_t>(buffer.size() * 2, held + rest + 1)));
      }
      const std::size_t n = std::fread(buffer.data() + held, 1, buffer.size() - held, raw);
      if (n < buffer.size() - held && std::ferror(raw)) return errnoError(errno != 0 ? errno : EIO);
      read += n;
      const bool last = n == 0 || std::feof(raw);
      const char* const begin = buffer.data();
      const char* const end = begin + held + n;
      // Room for the songs of the whole file, judged by the first block.
      if (first) parser.Reserve(SongsToReserve({begin, static_cast<std::size_t>(end - begin)}, fileSize));
      const char* const rest = parser.Lines(begin, end, last);
      if (last || parser.Failed()) break;
      held = static_cast<std::size_t>(end - rest);
      std::memmove(buffer.data(), rest, held);
    }

    LoadResult result = parser.Result();
    if (result.error) result.error->path = file;
    return result;
  } catch (const std::bad_alloc&) {
    // Each song costs a few hundred bytes however short its line, so a huge
    // file of tiny songs can need more memory than the machine has.
    return fileError(FileProblem::OutOfMemory, "not enough memory to load the file",
                     u"メモリが足りないため読み込めません");
  }
}

std::string NextStep(const LoadError& error) {
  switch (error.kind) {
    case LoadErrorKind::FileError: break;
    case LoadErrorKind::PartOutOfRange:
    case LoadErrorKind::RankOutOfRange:
    case LoadErrorKind::ValueOutOfRange:
    case LoadErrorKind::NoTitle: return "if you edited the file by hand, fix this line and try again";
    case LoadErrorKind::TooMany: return "check that this is the score file the game wrote";
    case LoadErrorKind::NoDecoder:
#ifdef _WIN32
      return "add Japanese language support in the Windows settings";
#else
      return "install iconv's CP932 table (Debian and Ubuntu: libc6, Fedora: glibc-gconv-extra)";
#endif
  }
  switch (error.problem) {
    case FileProblem::None: break;
    case FileProblem::Missing: return "check the path; without --file the tool reads hsc.ini in its own folder";
    case FileProblem::InUse: return "close the game and try again";
    case FileProblem::NoPermission: return "check the file's permissions";
    case FileProblem::Folder: return PathText(error.path.filename()) + " is a folder, not a file: name the score file";
    case FileProblem::NotAFolderOnPath: return "check the path: a part of it is a file, not a folder";
    case FileProblem::PathTooLong: return "move the folder higher up or shorten its name";
    case FileProblem::LinkLoop: return "check where the symbolic links point";
    case FileProblem::ReadFailed: return "check the disk, then try again";
    case FileProblem::TooManyOpen:
    case FileProblem::OutOfMemory: return "close other programs and try again";
    case FileProblem::NotRegular: return "name the score file itself, not a device or pipe";
    case FileProblem::Other: return "check the file, then try again";
  }
  return "check the file, then try again";
}

Text NextStepJa(const LoadError& error) {
  // The window that shows this message is the program to move.
#ifdef _WIN32
  const Text program = u"quillbox.exe";
#else
  const Text program = u"quillbox";
#endif
  switch (error.kind) {
    case LoadErrorKind::FileError: break;
    case LoadErrorKind::PartOutOfRange:
    case LoadErrorKind::RankOutOfRange:
    case LoadErrorKind::ValueOutOfRange:
    case LoadErrorKind::NoTitle: return u"hsc.ini を手で書き換えた場合は、この行を直してから起動し直してください。";
    case LoadErrorKind::TooMany: return u"ゲームが書いたスコアファイルか確認してください。";
    case LoadErrorKind::NoDecoder:
#ifdef _WIN32
      return u"Windows の設定で日本語の言語サポートを追加してから、起動し直してください。";
#else
      return u"CP932 の変換表を含むパッケージ（Debian・Ubuntu では libc6、Fedora では glibc-gconv-extra）を"
             u"インストールしてから、起動し直してください。";
#endif
  }
  const Text name = FromUtf8(PathText(error.path.filename()));
  switch (error.problem) {
    case FileProblem::None: break;
    case FileProblem::Missing: return program + u" を hsc.ini と同じフォルダーに置いて、起動し直してください。";
    case FileProblem::InUse: return u"ゲームを終了してから、起動し直してください。";
    case FileProblem::NoPermission: return name + u" のプロパティでアクセス許可を確認してください。";
    case FileProblem::Folder:
      return u"ゲームのスコアファイル hsc.ini があるフォルダーに " + program + u" を置いて、起動し直してください。";
    case FileProblem::NotAFolderOnPath: return u"ファイルの場所を確認して、起動し直してください。";
    case FileProblem::PathTooLong: return u"ゲームのフォルダーを浅い場所に移すか、フォルダー名を短くしてください。";
    case FileProblem::LinkLoop: return u"リンクの参照先を確認して、起動し直してください。";
    case FileProblem::ReadFailed: return u"ディスクの接続と状態を確認してから、起動し直してください。";
    case FileProblem::TooManyOpen: return u"ほかのアプリを終了してから、起動し直してください。";
    case FileProblem::OutOfMemory: return u"ほかのアプリを終了してから、もう一度お試しください。";
    case FileProblem::NotRegular: return name + u" がゲームのスコアファイルか確認してください。";
    case FileProblem::Other: return u"ファイルの場所と状態を確認して、起動し直してください。";
  }
  return u"ファイルの場所と状態を確認して、起動し直してください。";
}

std::string DescribeLoadError(const LoadError& error) {
  std::string out = PathText(error.path);
  if (error.line != 0) out.append(":").append(std::to_string(error.line));
  out.append(": ").append(error.reason);
  if (error.line != 0) out.append(": ").append(ToUtf8(Printable(error.lineText)));
  return out.append(" -- ").append(NextStep(error));
}

Text DescribeLoadErrorJa(const LoadError& error) {
  Text out = u"スコアファイルを読み込めませんでした。\r\n\r\nファイル: " + FromUtf8(PathText(error.path));
  if (error.line != 0) {
    out += u"\r\n行: " + Decimal(error.line) + u"\r\n内容: " + Printable(error.lineText);
  }
  return out + u"\r\n理由: " + error.reasonJa + u"。\r\n\r\n" + NextStepJa(error);
}

}  // namespace quillbox
