#include "scores/LoadMessages.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "base/Text.h"

namespace quillbox {
namespace {

// Messages must stay one line and readable: control characters, in an
// offending line or in a file's name (a dropped file's name may hold a line
// break), are shown as their pictures.
Text Pictured(std::u16string_view text) {
  Text out;
  for (const char16_t c : text) out += c < 0x20 ? static_cast<char16_t>(0x2400 + c) : (c == 0x7F ? u'\u2421' : c);
  return out;
}

// An offending line is cut when very long; a name never is.
Text Printable(const Text& line) {
  Text out = Pictured(std::u16string_view(line).substr(0, kMaxShown));
  if (line.size() > kMaxShown) out += u"…";
  return out;
}

Text ShownName(const std::filesystem::path& path) {
  const auto u8 = path.u8string();
  return Pictured(FromUtf8(std::string(u8.begin(), u8.end())));
}

}  // namespace

LoadError FileLoadError(const std::filesystem::path& file, FileProblem problem, std::string reason, Text reasonJa) {
  LoadError error;
  error.kind = LoadErrorKind::FileError;
  error.problem = problem;
  error.path = file;
  error.reason = std::move(reason);
  error.reasonJa = std::move(reasonJa);
  return error;
}

LoadError FileLoadError(const std::filesystem::path& file, int code) {
  // The common cases in the user's language; only rare ones add the
  // system's own (English) words.
  std::string reason = std::generic_category().message(code);
  const auto [problem, ja] = [&]() -> std::pair<FileProblem, Text> {
    switch (code) {
      case ENOENT: return {FileProblem::Missing, u"ファイルが見つかりません"};
      case EPERM:
      case EACCES: return {FileProblem::NoPermission, u"ファイルを読む権限がありません"};
      case EISDIR:
        return {FileProblem::Folder, ShownName(file.filename()) + u" はファイルではなくフォルダーです"};
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
  return FileLoadError(file, problem, std::move(reason), ja);
}

std::string NextStep(const LoadError& error, NamedBy namedBy) {
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
    case FileProblem::Missing:
      return namedBy == NamedBy::Command ? "check the path and the file's name"
                                         : "check the path; without --file the tool reads hsc.ini in its own folder";
    case FileProblem::InUse: return "close the game and try again";
    case FileProblem::NoPermission: return "check the file's permissions";
    case FileProblem::Folder:
      return ToUtf8(ShownName(error.path.filename())) + " is a folder, not a file: name the score file";
    case FileProblem::NotAFolderOnPath: return "check the path: a part of it is a file, not a folder";
    case FileProblem::PathTooLong: return "move the folder higher up or shorten its name";
    case FileProblem::LinkLoop: return "check where the symbolic links point";
    case FileProblem::ReadFailed: return "check the disk, then try again";
    case FileProblem::TooManyOpen:
    case FileProblem::OutOfMemory: return "close other programs and try again";
    case FileProblem::NotRegular: return "name the score file itself, not a device or pipe";
    case FileProblem::KeptChanging: return "try again in a moment";
    case FileProblem::NotScoreFile: return "check that this is hsc.ini or a backup of it";
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
  const Text name = ShownName(error.path.filename());
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
    case FileProblem::KeptChanging: return u"少し待ってから、もう一度お試しください。";
    // Only dropped files are held to this; the loaded hsc.ini is read as it is.
    case FileProblem::NotScoreFile:
      return name + u" が hsc.ini か、バックアップした hsc.ini か確認してから、もう一度ドロップしてください。";
    case FileProblem::Other: return u"ファイルの場所と状態を確認して、起動し直してください。";
  }
  return u"ファイルの場所と状態を確認して、起動し直してください。";
}

std::string DescribeLoadError(const LoadError& error, NamedBy namedBy) {
  std::string out = ToUtf8(ShownName(error.path));
  if (error.line != 0) out.append(":").append(std::to_string(error.line));
  out.append(": ").append(error.reason);
  if (error.line != 0) out.append(": ").append(ToUtf8(Printable(error.lineText)));
  return out.append(" -- ").append(NextStep(error, namedBy));
}

Text DescribeLoadErrorJa(const LoadError& error) {
  Text out = u"スコアファイルを読み込めませんでした。\r\n\r\nファイル：" + ShownName(error.path);
  if (error.line != 0) {
    out += u"\r\n行：" + Decimal(error.line) + u"\r\n内容：" + Printable(error.lineText);
  }
  return out + u"\r\n理由：" + error.reasonJa + u"。\r\n\r\n" + NextStepJa(error);
}

Text NextStepForDropJa(const LoadError& error) {
  const Text name = ShownName(error.path.filename());
  // No restart: the window goes on, and the player drops again.
  const Text again = u"もう一度ドロップしてください。";
  Text check = name + u" が hsc.ini かバックアップした hsc.ini か確認してから、" + again;
  switch (error.kind) {
    case LoadErrorKind::FileError: break;
    case LoadErrorKind::PartOutOfRange:
    case LoadErrorKind::RankOutOfRange:
    case LoadErrorKind::ValueOutOfRange:
    case LoadErrorKind::NoTitle:
    case LoadErrorKind::TooMany: return check;
    case LoadErrorKind::NoDecoder: return NextStepJa(error);
  }
  switch (error.problem) {
    case FileProblem::None:
    case FileProblem::NotRegular:
    case FileProblem::Folder: break;
    case FileProblem::Missing: return name + u" がその場所にあるか確認してから、" + again;
    case FileProblem::InUse: return u"ゲームを終了してから、" + again;
    case FileProblem::NoPermission: return name + u" のプロパティでアクセス許可を確認してから、" + again;
    case FileProblem::NotAFolderOnPath:
    case FileProblem::LinkLoop:
    case FileProblem::Other: return name + u" の場所を確認してから、" + again;
    case FileProblem::PathTooLong: return name + u" を浅いフォルダーに移してから、" + again;
    case FileProblem::ReadFailed: return u"ディスクの接続と状態を確認してから、" + again;
    case FileProblem::TooManyOpen:
    case FileProblem::OutOfMemory: return u"ほかのアプリを終了してから、" + again;
    case FileProblem::KeptChanging: return u"少し待ってから、" + again;
    case FileProblem::NotScoreFile: return check;
  }
  return check;
}

Text DescribeDropErrorJa(const LoadError& error) {
  Text out = u"ドロップしたファイルを読み込めませんでした。\r\n\r\nファイル：" + ShownName(error.path);
  if (error.line != 0) {
    out += u"\r\n行：" + Decimal(error.line) + u"\r\n内容：" + Printable(error.lineText);
  }
  return out + u"\r\n理由：" + error.reasonJa + u"。\r\n\r\n" + NextStepForDropJa(error);
}

Text NextStepForReloadJa(const LoadError& error) {
  // The window goes on with the table it had: the player presses F5 again.
  const Text again = u"もう一度 F5 を押してください。";
  const Text name = ShownName(error.path.filename());
  switch (error.kind) {
    case LoadErrorKind::FileError: break;
    case LoadErrorKind::PartOutOfRange:
    case LoadErrorKind::RankOutOfRange:
    case LoadErrorKind::ValueOutOfRange:
    case LoadErrorKind::NoTitle: return u"hsc.ini を手で書き換えた場合は、この行を直してから、" + again;
    case LoadErrorKind::TooMany: return u"ゲームが書いたスコアファイルか確認してから、" + again;
    case LoadErrorKind::NoDecoder: return NextStepJa(error);
  }
  switch (error.problem) {
    case FileProblem::Missing: return name + u" がその場所にあるか確認してから、" + again;
    case FileProblem::InUse: return u"ゲームを終了してから、" + again;
    case FileProblem::NoPermission: return name + u" のプロパティでアクセス許可を確認してから、" + again;
    case FileProblem::ReadFailed: return u"ディスクの接続と状態を確認してから、" + again;
    case FileProblem::TooManyOpen:
    case FileProblem::OutOfMemory: return u"ほかのアプリを終了してから、" + again;
    case FileProblem::KeptChanging: return u"少し待ってから、" + again;
    default: break;
  }
  return name + u" の場所と状態を確認してから、" + again;
}

Text DescribeReloadErrorJa(const LoadError& error) {
  Text out = u"hsc.ini を読み直せませんでした。表示はそのままです。\r\n\r\nファイル：" + ShownName(error.path);
  if (error.line != 0) {
    out += u"\r\n行：" + Decimal(error.line) + u"\r\n内容：" + Printable(error.lineText);
  }
  return out + u"\r\n理由：" + error.reasonJa + u"。\r\n\r\n" + NextStepForReloadJa(error);
}

}  // namespace quillbox
