// For the Windows GUI smoke test: switches the running program's list
// through its four display styles, as the menu does, and checks from outside
// that each shows the rows: in the list and details styles the native list
// holds them (the count, the first row's text and its place on screen); in
// the icon styles the program's own grid is in sight over the list and has
// drawn something on it. The toolbar's images must be as large as the
// screen's DPI asks (16 pixels at 96 DPI, 24 at 144).
//
//   gui_list_probe TITLE_PART FIRST_ROW_TEXT
// Exit status 0 when the toolbar fits and every style shows the rows; the
// findings are printed.

#include <cstdio>
#include <cwchar>
#include <string>

#include "ui/frame_ids.h"

#include <windows.h>
#include <commctrl.h>

namespace {

struct CSearch {
  const wchar_t* pTitle = nullptr;
  HWND hFound = nullptr;
};

HWND FindFrame(const wchar_t* title) {
  CSearch search{title, nullptr};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& search = *reinterpret_cast<CSearch*>(data);
        wchar_t text[512];
        if (!IsWindowVisible(window) || GetWindowTextW(window, text, 512) == 0 || !std::wcsstr(text, search.pTitle))
          return TRUE;
        search.hFound = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.hFound;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[128] = L"";
  GetClassNameW(window, name, 128);
  return name;
}

HWND FindChild(HWND frame, const wchar_t* className) {
  CSearch search{className, nullptr};
  EnumChildWindows(
      frame,
      [](HWND window, LPARAM data) -> BOOL {
        auto& search = *reinterpret_cast<CSearch*>(data);
        if (ClassOf(window) != search.pTitle || !IsWindowVisible(window)) return TRUE;
        search.hFound = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.hFound;
}

// The list's own child window that is not its header: the program's grid.
HWND FindGrid(HWND list) {
  for (HWND child = GetWindow(list, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) != WC_HEADERW) return child;
  return nullptr;
}

// Reads the first row's text through memory in the program's process, where
// the control writes it (or points to its own copy of it).
std::wstring FirstRowText(HWND list) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return L"";
  constexpr int kChars = 260;
  char* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMW) + kChars * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE));
  std::wstring text;
  if (remote != nullptr) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.cchTextMax = kChars;
    item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
    wchar_t buffer[kChars] = L"";
    if (WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
        SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(remote)) > 0 &&
        ReadProcessMemory(process, remote, &item, sizeof item, nullptr) &&
        ReadProcessMemory(process, item.pszText, buffer, sizeof buffer, nullptr)) {
      buffer[kChars - 1] = L'\0';
      text = buffer;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

// The first row lies inside the list's client area.
bool FirstRowInSight(HWND list) {
  DWORD pid = 0;
  GetWindowThreadProcessId(list, &pid);
  const HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  RECT rect{LVIR_LABEL, 0, 0, 0};
  void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
  bool ok = remote != nullptr && WriteProcessMemory(process, remote, &rect, sizeof rect, nullptr) &&
            SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  RECT client;
  GetClientRect(list, &client);
  return ok && rect.right > rect.left && rect.bottom > rect.top && rect.left < client.right &&
         rect.top < client.bottom && rect.right > 0 && rect.bottom > 0;
}

// How many pixels of the window, as the screen shows it, differ from its top
// left one: an empty window is all background.
long DrawnPixels(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  const HDC screen = GetDC(nullptr);
  long drawn = 0;
  const COLORREF background = GetPixel(screen, rect.left + 1, rect.top + 1);
  for (int y = rect.top + 1; y < rect.bottom - 1; y += 2)
    for (int x = rect.left + 1; x < rect.right - 1; x += 2)
      if (GetPixel(screen, x, y) != background) ++drawn;
  ReleaseDC(nullptr, screen);
  return drawn;
}

// For the console, whose code page may not hold the text.
std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 3 + 1, '\0');
  out.resize(std::size_t(
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), int(out.size()), nullptr, nullptr)));
  return out;
}

// Whether the toolbar's button images are as tall as 16 pixels of 96 DPI
// are on this screen.
bool CheckToolbar(HWND frame) {
  const HWND toolbar = FindChild(frame, TOOLBARCLASSNAMEW);
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (toolbar == nullptr) {
    std::printf("no toolbar\n");
    return false;
  }
  const LRESULT button = SendMessageW(toolbar, TB_GETBUTTONSIZE, 0, 0);
  const LRESULT padding = SendMessageW(toolbar, TB_GETPADDING, 0, 0);
  const int image = HIWORD(button) - HIWORD(padding);
  const int wanted = MulDiv(16, dpi, 96);
  std::printf("toolbar at %d DPI: buttons %dx%d, images about %d pixels (wanted %d)\n", dpi, LOWORD(button),
              HIWORD(button), image, wanted);
  return image >= wanted;
}

struct CStyle {
  int nCommand;
  DWORD nNativeView;  // the native list's own view in that style
  bool bGrid;
  const char* pName;
};

bool Check(HWND list, const CStyle& style, const wchar_t* firstRow, bool report) {
  const DWORD view = DWORD(GetWindowLongW(list, GWL_STYLE)) & LVS_TYPEMASK;
  const bool listShown = IsWindowVisible(list) != FALSE;
  if (style.bGrid) {
    const HWND grid = FindGrid(list);
    RECT rect{};
    if (grid != nullptr) GetClientRect(grid, &rect);
    const bool shown = grid != nullptr && IsWindowVisible(grid);
    const long drawn = shown ? DrawnPixels(grid) : 0;
    if (report)
      std::printf("%s: list shown %d, grid shown %d, %ldx%ld, %ld pixels drawn\n", style.pName, listShown, shown,
                  rect.right, rect.bottom, drawn);
    return shown && rect.right > 0 && rect.bottom > 0 && drawn > 20;
  }
  const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  const std::wstring text = count > 0 ? FirstRowText(list) : L"";
  const bool inSight = count > 0 && FirstRowInSight(list);
  const HWND grid = FindGrid(list);
  const bool gridHidden = grid == nullptr || !IsWindowVisible(grid);
  if (report)
    std::printf("%s: view %lu, list shown %d, %ld rows, first row %s \"%s\", grid hidden %d\n", style.pName,
                (unsigned long)view, listShown, long(count), inSight ? "in sight" : "out of sight", Utf8(text).c_str(),
                gridHidden);
  return listShown && view == style.nNativeView && count > 0 && text == firstRow && inSight && gridHidden;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: gui_list_probe TITLE_PART FIRST_ROW_TEXT\n");
    return 2;
  }
  SetProcessDPIAware();  // to be told the screen's real DPI
  // The window may still be filling itself.
  HWND frame = nullptr, list = nullptr;
  for (int tries = 0; tries < 150 && list == nullptr; ++tries) {
    if (tries > 0) Sleep(200);
    frame = FindFrame(argv[1]);
    list = frame != nullptr ? FindChild(frame, WC_LISTVIEWW) : nullptr;
  }
  if (list == nullptr) {
    std::fprintf(stderr, "no window with a list\n");
    return 1;
  }
  // Small icons last, so that the program keeps a style other than its first.
  const CStyle styles[] = {{ID_VIEW_LIST, LVS_LIST, false, "list"},
                           {ID_VIEW_DETAILS, LVS_REPORT, false, "details"},
                           {ID_VIEW_LARGEICON, LVS_LIST, true, "large icons"},
                           {ID_VIEW_SMALLICON, LVS_LIST, true, "small icons"}};
  bool all = CheckToolbar(frame);
  for (const CStyle& style : styles) {
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(style.nCommand, 0), 0);
    bool ok = false;
    for (int tries = 0; tries < 50 && !ok; ++tries) {
      Sleep(200);
      ok = Check(list, style, argv[2], false);
    }
    Check(list, style, argv[2], true);
    if (!ok) std::printf("%s: the rows are not shown\n", style.pName);
    all = all && ok;
  }
  return all ? 0 : 1;
}
