#pragma once
// The texts the document shows, and the rules that build the variable ones.

#include <string>
#include <vector>

#include "model/scan.h"
#include "model/set_extension.h"
#include "model/set_file_error.h"

inline constexpr char kBrowseTitle[] = "カタログ化するドライブまたはフォルダを選択してください";
inline constexpr char kAddRefused[] =
    "カタログを追加できませんでした\n既に存在する名前を指定していないか確かめてください";
inline constexpr char kConfirmDrop[] = "選択されたファイルからカタログを作成しますか？";
inline constexpr char kConfirmSeveralNotes[] = "選択したすべてのファイルのノートを変更してよろしいですか？";
inline constexpr char kPropertiesCaption[] = "プロパティ";
inline constexpr char kSearchCaption[] = "検索";
inline constexpr char kClipboardFailed[] = "パス情報のコピーに失敗しました";
inline constexpr char kNoDefaultBrowser[] = "デフォルトのブラウザが指定されていません";
inline constexpr char kBrowserFailed[] = "ブラウザが開けませんでした";
inline constexpr char kBadLocation[] = "正しい場所を指定してください";
inline constexpr char kOpeningCaption[] = "カタログセットを開いています";
inline constexpr char kSavingCaption[] = "カタログセットを保存しています";
inline constexpr char kReportCaption[] = "カタログ情報を出力しています";
inline constexpr char kReportCancelled[] = "カタログ情報の出力をキャンセルしました";
inline constexpr char kScanCaption[] = "カタログを作成しています";
inline constexpr char kScanCancelled[] = "カタログの作成をキャンセルしました\nカタログセットは変更されていません";
inline constexpr char kUpdateCaption[] = "カタログを更新しています";
inline constexpr char kUpdateCancelled[] = "カタログの更新をキャンセルしました\nカタログセットは変更されていません";
inline constexpr char kNestedCatalogUpdate[] =
    "フォルダやカタログの中にあるカタログ (他のプログラムで作られたもの) は更新できません\n"
    "カタログセットは変更されていません";
inline constexpr char kVerifyCaption[] = "カタログを検証しています";
inline constexpr char kVerifyCancelled[] = "カタログの検証をキャンセルしました";

// What the user is told about a scan that ended with status (empty for
// Done), cancelled being the text for a cancelled one.
std::string ScanStatusMessage(EScanStatus status, const char* cancelled);

// "カタログ LABEL のメディアがある場所を選択してください"
std::string UpdatePlaceTitle(const std::string& label);

inline constexpr char kOpenFailed[] = "ﾄﾞｷｭﾒﾝﾄを開くことに失敗しました。";
inline constexpr char kMalformedFile[] = "予期しないﾌｧｲﾙ形式です。";

// "カタログ NAME を削除します\nよろしいですか？"
std::string DeleteCatalogPrompt(const std::string& name);
// The update (or the verify, when verifying) of catalog name would scan
// another medium than it records (absent: the place is an empty mount
// point): go on?
struct CMediumVerdict;
std::string MediumMismatchPrompt(const std::string& name, const CMediumVerdict& verdict, bool verifying = false);

// The places a scan could not read, to add to its message; empty when none.
struct CUnreadableSummary;
std::string UnreadableText(const CUnreadableSummary& unreadable);
// The files whose contents could not be read for their hashes (logical
// paths, the first few named), to add to a scan's message; empty when none.
std::string UnhashedText(const std::vector<std::string>& paths);
// The archives that would not open to be listed, likewise.
std::string UnlistedText(const std::vector<std::string>& paths);

// "TITLE への変更を保存しますか?"
std::string SaveChangesPrompt(const std::string& title);

// The message for a set file that could not be opened (bSaving false) or
// saved (bSaving true); path is shown as it is (UTF-8).
std::string SetFileErrorMessage(ESetFileError error, const std::string& path, bool bSaving);

// What the user is told on opening a set whose records were not taken
// whole (for a damaged block, what it cost); empty when there is nothing.
std::string RecordsNotice(EExtensionState state, const CExtensionDamage& damage);
// Saving a set read in state loses the records that did not read: go on?
std::string DropRecordsPrompt(EExtensionState state);

// "PATH は他のプログラムによって変更されています。上書きしますか?"
std::string ChangedOnDiskPrompt(const std::string& path);

// The message for a recent file that no longer exists.
std::string RecentFileMissingMessage(const std::string& path);
