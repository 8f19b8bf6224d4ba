#include "document/doc_messages.h"

#include <algorithm>

#include "model/catalog_update.h"
#include "model/medium_match.h"
#include "model/text_format.h"

std::string DeleteCatalogPrompt(const std::string& name) {
  return "カタログ " + name + " を削除します\nよろしいですか？";
}

std::string MediumMismatchPrompt(const std::string& name, const CMediumVerdict& verdict, bool verifying) {
  const std::string what =
      verdict.eCheck == EMediumCheck::Absent ? "カタログ " + name + " のメディアが接続されていないようです\n"
      : verdict.eCheck == EMediumCheck::OtherPlace
          ? "この場所はカタログ " + name + " のメディアの、カタログを作った場所とは別のフォルダです\n"
          : "この場所にはカタログ " + name + " とは別のメディアがあります\n";
  const char* outcome =
      verifying ? "\n\nこのまま検証すると、カタログとこの場所の内容を比べます\n検証してよろしいですか？"
                : "\n\nこのまま更新すると、カタログの内容がこの場所の内容で置き換えられます\n更新してよろしいですか？";
  return what + VerdictDifferenceText(verdict) + outcome;
}

namespace {

// "CAPTION N 件:" and the first paths, one a line; "..." when there are more.
std::string PathListText(const char* caption, std::uint64_t count, const std::string* first, std::size_t listed) {
  std::string text = caption + (" " + FormatCount(count)) + " 件:";
  for (std::size_t i = 0; i < listed; ++i) text += "\n" + first[i];
  if (count > listed) text += "\n...";
  return text;
}

}  // namespace

std::string UnreadableText(const CUnreadableSummary& unreadable) {
  if (unreadable.nCount == 0) return {};
  return PathListText("読めなかった場所", unreadable.nCount, unreadable.firstPaths.data(),
                      unreadable.firstPaths.size());
}

std::string UnhashedText(const std::vector<std::string>& paths) {
  if (paths.empty()) return {};
  constexpr std::size_t kListed = 10;
  return PathListText("内容を読めずハッシュを計算できなかったファイル", paths.size(), paths.data(),
                      std::min(paths.size(), kListed));
}

std::string UnlistedText(const std::vector<std::string>& paths) {
  if (paths.empty()) return {};
  constexpr std::size_t kListed = 10;
  return PathListText("開けずに中身を一覧にできなかったアーカイブ", paths.size(), paths.data(),
                      std::min(paths.size(), kListed));
}

std::string ScanStatusMessage(EScanStatus status, const char* cancelled) {
  switch (status) {
    case EScanStatus::Cancelled: return cancelled;
    case EScanStatus::NotFound: return kPlaceNotFoundMessage;
    case EScanStatus::DriveAlone: return kDriveAloneMessage;
    case EScanStatus::Done: break;
  }
  return {};
}

std::string UpdatePlaceTitle(const std::string& label) {
  return "カタログ " + label + " のメディアがある場所を選択してください";
}

std::string SaveChangesPrompt(const std::string& title) { return title + " への変更を保存しますか?"; }

std::string RecordsNotice(EExtensionState state, const CExtensionDamage& damage) {
  const char* notice = ExtensionNotice(state);
  if (notice == nullptr) return {};
  std::string text = notice;
  if (state != EExtensionState::Damaged) return text;
  if (damage.bStart) text += "\n記録の先頭が壊れています。";
  if (damage.bCutShort) text += "\n記録が途中で切れています。";
  if (damage.nLost != 0)
    text += "\n読めない記録: " + FormatCount(damage.nLost) + (damage.bCountKnown ? " 件" : " 件以上");
  else if (damage.nUnreadBytes != 0)
    text += "\n読めない部分: " + FormatCount(damage.nUnreadBytes) + " バイト";
  return text + "\n読めた記録: " + FormatCount(damage.nKept) + " 件";
}

std::string DropRecordsPrompt(EExtensionState state) {
  const std::string what = state == EExtensionState::Unsupported
                               ? "このカタログセットの記録は新しい版の形式のため読めませんでした。"
                               : "このカタログセットの記録の一部は壊れていて読めませんでした。";
  return what + "\n保存すると、読めなかった記録は失われます。\n保存してよろしいですか？";
}

std::string SetFileErrorMessage(ESetFileError error, const std::string& path, bool bSaving) {
  if (IsMalformed(error)) return kMalformedFile;
  if (!bSaving) {
    switch (error) {
      case ESetFileError::NotFound: return "ファイル " + path + " が見つかりません。";
      case ESetFileError::AccessDenied: return "ファイル " + path + " を読み込む権限がありません。";
      case ESetFileError::ReadFailure: return "ファイル " + path + " の読み込み中にエラーが発生しました。";
      default: return kOpenFailed;  // an empty file among them: there is no set to open
    }
  }
  // The write goes to a temporary file first, so a failed save never harms
  // the file that was there.
  const std::string kept = "\n保存されていません。元のファイルは変更されていません。";
  switch (error) {
    case ESetFileError::NotFound: return "ファイル " + path + " の保存先のフォルダが見つかりません。" + kept;
    case ESetFileError::AccessDenied: return "ファイル " + path + " に書き込む権限がありません。" + kept;
    case ESetFileError::DiskFull: return "ディスクがいっぱいのため " + path + " に保存できませんでした。" + kept;
    case ESetFileError::NotRegularFile: return path + " は通常のファイルではないため保存できません。" + kept;
    case ESetFileError::BrokenLink: return path + " はリンク先が存在しないため保存できません。" + kept;
    case ESetFileError::AlreadyExists: return "ファイル " + path + " が既に存在するため保存できません。" + kept;
    case ESetFileError::Cancelled:
      return "ファイル " + path + " の保存を中止しました。元のファイルは変更されていません。";
    default: return "ファイル " + path + " の書き込み中にエラーが発生しました。" + kept;
  }
}

std::string ChangedOnDiskPrompt(const std::string& path) {
  return path + " は他のプログラムによって変更されています。上書きしますか?";
}

std::string RecentFileMissingMessage(const std::string& path) {
  return "ファイル " + path + " が見つかりません。\n最近使ったファイルの一覧から削除しました。";
}
