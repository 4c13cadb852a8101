#include "scores/ScoreParser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>

#include "base/Numbers.h"
#include "scores/Cp932.h"
#include "scores/LineScan.h"
#include "scores/LoadMessages.h"
#include "scores/ValueText.h"

namespace quillbox {

namespace {

// Whole-number bounds: most values are compared as whole numbers, and a
// rounded real converts to them exactly.
struct Field {
  const char* name;
  const char16_t* key;  // as the line shows it, for the Japanese message
  std::int64_t lo;
  std::int64_t hi;
};

// The one-digit part and rank numbers of a key, and how a bad one is told.
struct IndexRange {
  int last;
  LoadErrorKind kind;
  const char* noun;
  const char16_t* nounJa;
};

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();

constexpr Field kHiPerfect{"HiPerfect", u"HPR（ハイパーフェクト）", 0, 255};
constexpr Field kBestPerfect{"BestPerfect", u"PR（パーフェクト）", 0, 255};
constexpr Field kBestScore{"BestScore", u"SCORE（ベストスコア）", -2147483648, 2147483647};
constexpr Field kPlayCount{"PlayCount", u"HPs（プレイ回数）", -32768, 32767};

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

template <typename Char>
double ValueOf(Line<Char> text) {
  if constexpr (std::is_same_v<Char, char16_t>) {
    return ReadValue(text);
  } else {
    return ReadValue(Widen(text));
  }
}

// The lines of a block, with the parser's state. A class of this file alone,
// so that the compiler can fold each line's steps into the line loop.
class KeyLines {
 public:
  KeyLines(LoadResult& result, SongRecord* song, std::int64_t lineNumber)
      : result_(result), song_(song), lineNumber_(lineNumber) {}

  SongRecord* Song() const { return song_; }
  std::int64_t LineNumber() const { return lineNumber_; }

  const char* Lines(const char* p, const char* const end, bool last) {
    while (p < end && !result_.error) {
      // A line ends at CR, CR LF or a lone LF. None of these bytes can be the
      // second byte of a double-byte character, so splitting before decoding
      // is safe.
      const LineScan line = ScanLine(p, end);
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
        Fail(LoadErrorKind::TooMany, line, "more songs than a 32-bit count holds", u"曲数が多すぎます");
        return;
      }
      song_ = &result_.songs.AddSong();
      song_->Title = TitleText(line.substr(1, backslash - 1));
      return;
    }
    if (song_ == nullptr) return;  // key lines before the first song
    SongRecord& song = *song_;

    // The first character tells the keys apart, without comparing for each.
    // The part digit is tested before the rank digit.
    if (line.empty()) return;
    switch (line[0]) {
      case 'H':
        if (StartsWith(line, "HPR")) {
          if (const auto part = Index(line, 4, kPart)) Store(line, 6, kHiPerfect, song.HiPerfect[*part]);
        } else if (StartsWith(line, "HPs")) {
          if (const auto part = Index(line, 4, kPart)) Store(line, 6, kPlayCount, song.PlayCount[*part]);
        }
        break;
      case 'P':
        if (!StartsWith(line, "PR")) break;
        if (const auto part = Index(line, 4, kPart)) {
          if (const auto rank = Index(line, 3, kRank)) Store(line, 6, kBestPerfect, song.BestPerfect[*part][*rank]);
        }
        break;
      case 'S':
        if (!StartsWith(line, "SCORE")) break;
        if (const auto part = Index(line, 7, kPart)) {
          if (const auto rank = Index(line, 6, kRank)) Store(line, 9, kBestScore, song.BestScore[*part][*rank]);
        }
        break;
      default: break;
    }
  }

  // The part or rank digit at `pos` (1-based); nothing, after failing, when it
  // is beyond its table's last index.
  template <typename Char>
  std::optional<std::size_t> Index(Line<Char> line, std::size_t pos, const IndexRange& range) {
    const int index = DigitAt(line, pos);
    if (index <= range.last) [[likely]] return static_cast<std::size_t>(index);
    FailIndex(line, index, range);
    return std::nullopt;
  }

  // Out of the line loop's way: building the message is far more code than
  // the test above.
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
    if (PlainWhole(valueText, whole)) {
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
         Text(field.key) + u"の値が範囲外です（" + Decimal(lo) + u"～" + Decimal(hi) + u"）");
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

  LoadResult& result_;
  SongRecord* song_;  // the last song added, which key lines fill
  std::int64_t lineNumber_;
};

}  // namespace

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

void ScoreParser::Reserve(std::size_t songs) {
  if (songs > 0) result_.songs.Reserve(songs);
}

const char* ScoreParser::Lines(const char* p, const char* end, bool last) {
  // Held in the block's own object while its lines are read, where the
  // compiler can keep them in registers.
  KeyLines lines(result_, song_, lineNumber_);
  const char* const rest = lines.Lines(p, end, last);
  song_ = lines.Song();
  lineNumber_ = lines.LineNumber();
  return rest;
}

LoadResult ParseScoreFile(std::string_view bytes) {
  ScoreParser parser;
  parser.Reserve(SongsToReserve(bytes, bytes.size()));
  parser.Lines(bytes.data(), bytes.data() + bytes.size(), true);
  return parser.Result();
}

}  // namespace quillbox
