#include "ui/frame_strings.h"

#include <wx/defs.h>

#include "document/command_ids.h"
#include "ui/frame_ids.h"

std::string CommandPromptString(int id) {
  switch (id) {
    case ID_ADD_CATALOG: return "カタログを追加する\n追加";
    case ID_SEARCH: return "カタログを検索する\n検索";
    case ID_DELETE_CATALOG: return "カタログを削除する\n削除";
    case ID_UPDATE_CATALOG: return "カタログをメディアの現在の内容に更新する\n更新";
    case ID_VERIFY_CATALOG: return "カタログをメディアと比べ、変わったファイルや壊れたファイルを探す\n検証";
    case ID_FIND_DUPLICATES: return "複数のメディアやカタログセットにある同じファイルを探す";
    case ID_FIND_FEW_COPIES: return "ほかのメディアにコピーのないファイルを探す";
    case ID_EXCLUDE_PATTERNS: return "カタログを追加するときに除外するファイルやフォルダを指定する";
    case ID_EXPORT_LIST: return "カタログのファイルの一覧を CSV などの形式で書き出す";
    case ID_PROPERTIES: return "ファイルのプロパティを表示";
    case ID_VIEW_SMALLICON: return "ｵﾌﾞｼﾞｪｸﾄを小さいｱｲｺﾝで表示します。\n小さいｱｲｺﾝ";
    case ID_VIEW_LARGEICON: return "ｵﾌﾞｼﾞｪｸﾄを大きいｱｲｺﾝで表示します。\n大きいｱｲｺﾝ";
    case ID_VIEW_LIST: return "ｵﾌﾞｼﾞｪｸﾄを一覧表示します。\n一覧";
    case ID_VIEW_DETAILS: return "ｳｨﾝﾄﾞｳ内の各ｵﾌﾞｼﾞｪｸﾄの詳細情報を表示します。\n詳細";
  }
  return {};
}

std::string MediumConnectedNotice(const std::string& label) {
  return "「" + label + "」が接続されました。カタログを更新しますか?";
}

std::string CommandPrompt(int id) {
  const std::string text = CommandPromptString(id);
  return text.substr(0, text.find('\n'));
}

std::string CommandTooltip(int id) {
  // The framework's commands have no prompt of their own, but their buttons
  // still say what they do.
  switch (id) {
    case wxID_NEW: return "新規作成";
    case wxID_OPEN: return "開く";
    case wxID_SAVE: return "上書き保存";
    case wxID_ABOUT: return "バージョン情報";
  }
  const std::string text = CommandPromptString(id);
  const std::size_t newline = text.find('\n');
  return newline == std::string::npos ? std::string() : text.substr(newline + 1);
}
