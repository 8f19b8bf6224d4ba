#include "document/doc_messages.h"

std::string DeleteCatalogPrompt(const std::string& name) {
  return "カタログ " + name + " を削除します\nよろしいですか？";
}

std::string SaveChangesPrompt(const std::string& title) { return title + " への変更を保存しますか?"; }

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
    default: return "ファイル " + path + " の書き込み中にエラーが発生しました。" + kept;
  }
}

std::string ChangedOnDiskPrompt(const std::string& path) {
  return path + " は他のプログラムによって変更されています。上書きしますか?";
}

std::string RecentFileMissingMessage(const std::string& path) {
  return "ファイル " + path + " が見つかりません。\n最近使ったファイルの一覧から削除しました。";
}
