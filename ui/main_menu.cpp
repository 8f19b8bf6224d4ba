#include "ui/main_menu.h"

#include <wx/bmpbndl.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/toolbar.h>

#include "document/command_ids.h"
#include "resources/svg_images.h"
#include "ui/frame_ids.h"
#include "ui/frame_strings.h"
#include "ui/gtk_extras.h"

namespace {

struct CItem {
  const char* m_pszText;  // nullptr: a separator
  int m_nId;
  wxItemKind m_kind;
};

constexpr wxItemKind kNormal = wxITEM_NORMAL;
constexpr wxItemKind kCheck = wxITEM_CHECK;
constexpr wxItemKind kRadio = wxITEM_RADIO;
constexpr CItem kSeparator{nullptr, 0, kNormal};

wxMenu* MakeMenu(std::initializer_list<CItem> items) {
  auto* menu = new wxMenu;
  for (const CItem& item : items) {
    if (!item.m_pszText) {
      menu->AppendSeparator();
      continue;
    }
    menu->Append(item.m_nId, wxString::FromUTF8(item.m_pszText), wxString::FromUTF8(CommandPrompt(item.m_nId)),
                 item.m_kind);
  }
  return menu;
}

}  // namespace

wxMenuBar* CreateMainMenuBar() {
  auto* bar = new wxMenuBar;

  bar->Append(MakeMenu({
                  {"カタログセットを新規作成(&N)\tCtrl+N", wxID_NEW, kNormal},
                  {"カタログセットを開く(&O)...\tCtrl+O", wxID_OPEN, kNormal},
                  {"上書き保存(&S)\tCtrl+S", wxID_SAVE, kNormal},
                  {"名前を付けて保存(&A)...", wxID_SAVEAS, kNormal},
                  kSeparator,
                  {"ファイルを開く(&W)", ID_OPEN_FILE, kNormal},
                  {"プロパティ(&R)", ID_PROPERTIES, kNormal},
                  {"カタログセット情報の出力(&U)...", ID_OUTPUT_CATALOG_SET, kNormal},
                  {"エクスポート(&E)...", ID_EXPORT_LIST, kNormal},
                  {"印刷(&P)...\tCtrl+P", wxID_PREVIEW, kNormal},
                  kSeparator,
                  {"アプリケーションの終了(&X)", wxID_EXIT, kNormal},
              }),
              wxString::FromUTF8("ﾌｧｲﾙ(&F)"));

  // The delete item shows Ctrl+D, but the key that deletes is Delete: the
  // shortcut is only drawn, so that Ctrl+D stays unbound.
  wxMenu* edit = MakeMenu({
      {"カタログを追加(&I)\tCtrl+I", ID_ADD_CATALOG, kNormal},
      {"カタログを削除(&D)", ID_DELETE_CATALOG, kNormal},
      {"カタログを更新(&U)...", ID_UPDATE_CATALOG, kNormal},
      {"カタログを検証(&V)...", ID_VERIFY_CATALOG, kNormal},
      kSeparator,
      {"ファイルの場所をコピー(&T)\tCtrl+T", ID_COPY_LOCATION, kNormal},
      {"全て選択(&A)\tCtrl+A", ID_SELECT_ALL, kNormal},
      kSeparator,
      {"ノートを編集(&N)", ID_EDIT_NOTE, kNormal},
      {"検索(&S)", ID_SEARCH, kNormal},
      {"重複ファイルを探す(&P)...", ID_FIND_DUPLICATES, kNormal},
      {"他にコピーのないファイル(&O)...", ID_FIND_FEW_COPIES, kNormal},
      kSeparator,
      {"除外パターン(&X)...", ID_EXCLUDE_PATTERNS, kNormal},
  });
  ShowCtrlShortcutText(edit->FindItem(ID_DELETE_CATALOG), 'd');
  bar->Append(edit, wxString::FromUTF8("編集(&E)"));

  wxMenu* view = MakeMenu({
      {"ツールバー(&T)", ID_VIEW_TOOLBAR, kCheck},
      {"ステータスバー(&S)", ID_VIEW_STATUS_BAR, kCheck},
      kSeparator,
      {"大きいアイコン(&G)", ID_VIEW_LARGEICON, kRadio},
      {"小さいアイコン(&M)", ID_VIEW_SMALLICON, kRadio},
      {"一覧(&L)", ID_VIEW_LIST, kRadio},
      {"詳細(&D)", ID_VIEW_DETAILS, kRadio},
      kSeparator,
  });
  view->AppendSubMenu(MakeMenu({
                          {"名前順(&N)", ID_SORT_BY_NAME, kCheck},
                          {"種類順(&T)", ID_SORT_BY_TYPE, kCheck},
                          {"サイズ順(&Z)", ID_SORT_BY_SIZE, kCheck},
                          {"日付順(&D)", ID_SORT_BY_DATE, kCheck},
                          {"ノート順(&O)", ID_SORT_BY_NOTE, kCheck},
                      }),
                      wxString::FromUTF8("整列(&I)"));
  bar->Append(view, wxString::FromUTF8("表示(&V)"));

  bar->Append(MakeMenu({
                  {"目次(&I)", ID_HELP_CONTENTS, kNormal},
                  {"クオリクスのバージョン情報(&A)...", wxID_ABOUT, kNormal},
              }),
              wxString::FromUTF8("ﾍﾙﾌﾟ(&H)"));
  return bar;
}

std::vector<wxMenu*> AllMenus(wxMenuBar* bar) {
  std::vector<wxMenu*> menus;
  if (!bar) return menus;
  for (size_t i = 0; i < bar->GetMenuCount(); ++i) menus.push_back(bar->GetMenu(i));
  for (size_t i = 0; i < menus.size(); ++i)
    for (wxMenuItem* item : menus[i]->GetMenuItems())
      if (item->IsSubMenu()) menus.push_back(item->GetSubMenu());
  return menus;
}

wxMenu* CreateContextMenu() {
  return MakeMenu({
      {"カタログを追加(&I)", ID_ADD_CATALOG, kNormal},
      {"カタログを削除(&D)", ID_DELETE_CATALOG, kNormal},
      {"カタログを更新(&U)...", ID_UPDATE_CATALOG, kNormal},
      {"カタログを検証(&V)...", ID_VERIFY_CATALOG, kNormal},
      kSeparator,
      {"ファイルを開く(&W)", ID_OPEN_FILE, kNormal},
      {"ノートを編集(&N)", ID_EDIT_NOTE, kNormal},
      {"ファイルの場所をコピー(&T)", ID_COPY_LOCATION, kNormal},
      {"検索(&S)", ID_SEARCH, kNormal},
      kSeparator,
      {"プロパティ(&R)", ID_PROPERTIES, kNormal},
  });
}

void AddMainTools(wxToolBar* toolbar) {
  // Vector images, sharp at any scale.
  auto add = [&](int id, const char* image, wxItemKind kind) {
    const wxBitmapBundle bitmap = wxBitmapBundle::FromSVG(SvgImageText(image), wxSize(16, 16));
    toolbar->AddTool(id, wxString(), bitmap, wxString::FromUTF8(CommandTooltip(id)), kind);
    toolbar->SetToolLongHelp(id, wxString::FromUTF8(CommandPrompt(id)));
  };
  add(wxID_NEW, "tool_new", wxITEM_NORMAL);
  add(wxID_OPEN, "tool_open", wxITEM_NORMAL);
  add(wxID_SAVE, "tool_save", wxITEM_NORMAL);
  toolbar->AddSeparator();
  add(ID_ADD_CATALOG, "tool_add", wxITEM_NORMAL);
  add(ID_DELETE_CATALOG, "tool_delete", wxITEM_NORMAL);
  add(ID_SEARCH, "tool_search", wxITEM_NORMAL);
  toolbar->AddSeparator();
  // Check buttons: the update handler presses the one of the list's style.
  add(ID_VIEW_LARGEICON, "tool_large", wxITEM_CHECK);
  add(ID_VIEW_SMALLICON, "tool_small", wxITEM_CHECK);
  add(ID_VIEW_LIST, "tool_list", wxITEM_CHECK);
  add(ID_VIEW_DETAILS, "tool_details", wxITEM_CHECK);
  toolbar->AddSeparator();
  add(wxID_ABOUT, "tool_about", wxITEM_NORMAL);
  toolbar->Realize();
}

std::vector<wxAcceleratorEntry> MainAcceleratorEntries() {
  return {
      {wxACCEL_CTRL, 'A', ID_SELECT_ALL},
      {wxACCEL_CTRL, 'I', ID_ADD_CATALOG},
      {wxACCEL_CTRL, 'N', wxID_NEW},
      {wxACCEL_CTRL, 'O', wxID_OPEN},
      {wxACCEL_CTRL, 'P', wxID_PREVIEW},  // the preview prints
      {wxACCEL_CTRL, 'S', wxID_SAVE},
      {wxACCEL_CTRL, 'T', ID_COPY_LOCATION},
      {wxACCEL_NORMAL, WXK_DELETE, ID_DELETE_CATALOG},
      {wxACCEL_NORMAL, WXK_F6, ID_NEXT_PANE},
      {wxACCEL_SHIFT, WXK_F6, ID_PREV_PANE},
      {wxACCEL_CTRL, 'V', ID_EDIT_PASTE_KEY},
      {wxACCEL_SHIFT, WXK_INSERT, ID_EDIT_PASTE_KEY},
      {wxACCEL_CTRL, WXK_INSERT, ID_EDIT_COPY_KEY},
      {wxACCEL_CTRL, 'X', ID_EDIT_CUT_KEY},
      {wxACCEL_SHIFT, WXK_DELETE, ID_EDIT_CUT_KEY},
      {wxACCEL_CTRL, 'Z', ID_EDIT_UNDO_KEY},
      {wxACCEL_ALT, WXK_BACK, ID_EDIT_UNDO_KEY},
  };
}

long ListStyleForCommand(int id) {
  switch (id) {
    case ID_VIEW_SMALLICON: return wxLC_SMALL_ICON;
    case ID_VIEW_LARGEICON: return wxLC_ICON;
    case ID_VIEW_LIST: return wxLC_LIST;
    case ID_VIEW_DETAILS: return wxLC_REPORT;
  }
  return 0;
}
