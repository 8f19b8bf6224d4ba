// Opening files on Windows: the shell's association for the type, or the
// chosen program started directly (CreateProcessW, no shell in between).
#include "document/app_launcher.h"

#include "platform/win/win_text.h"

#include <windows.h>
#include <shellapi.h>

namespace {

// One argument of a command line as the C runtime splits it: quoted, with
// backslashes before a quote doubled.
std::wstring QuoteArgument(const std::wstring& argument) {
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

}  // namespace

CAppLauncher::EOpenResult CDesktopLauncher::OpenWithAssociated(const std::string& path) {
  const std::wstring file = WidePath(path);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpFile = file.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info)) return OPEN_DONE;
  const DWORD error = GetLastError();
  // Some shells leave the last error alone and answer in hInstApp.
  const auto answer = reinterpret_cast<INT_PTR>(info.hInstApp);
  const bool noApplication =
      error == ERROR_NO_ASSOCIATION || answer == SE_ERR_NOASSOC || answer == SE_ERR_ASSOCINCOMPLETE;
  return noApplication ? OPEN_NO_APPLICATION : OPEN_FAILED;
}

bool CDesktopLauncher::OpenWithProgram(const std::string& program, const std::string& path) {
  if (program.empty()) return false;
  std::wstring command;
  for (const std::string& argument : ProgramArguments(program, path)) {
    if (!command.empty()) command += L' ';
    command += QuoteArgument(WideFromUtf8(argument));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}
