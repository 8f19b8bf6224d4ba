; The Windows installer: per user (no administrator rights), into
; %LOCALAPPDATA%\Programs\Quarrix, with a Start-menu entry, the .fcf type
; registered for the user and an uninstaller that removes all of it.
; makensis -DVERSION=x.y -DSTAGE=folder -DOUTFILE=setup.exe installer.nsi
Unicode true
Target amd64-unicode
!include "MUI2.nsh"

Name "クオリクス"
; The line above the buttons names the program, not the installer's maker.
BrandingText "クオリクス ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quarrix"
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quarrix"
!define PROGID "Quarrix.TallyHold"
; Held by every running program of ours (platform/win/startup/running_mark.cpp).
!define RUNNING_MARK "Quarrix.Running"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}\quarrix.exe"
  File "${STAGE}\quarrix-cli.exe"
  SetOutPath "$INSTDIR\Manual"
  File "${STAGE}\Manual\index.htm"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\クオリクス.lnk" "$INSTDIR\quarrix.exe"

  WriteRegStr HKCU "Software\Classes\.fcf" "" "${PROGID}"
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "Tally Hold Document"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\quarrix.exe",0'
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\quarrix.exe" "%1"'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "クオリクス"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Kestrane Soft"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; A running program would keep its files and write its settings back when it
; ends: it is closed first, or nothing is removed (silently: nothing is).
Function un.onInit
  check:
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MARK}") p .r0'
    IntPtrCmp $0 0 closed
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "クオリクスが実行中です。$\r$\n\
クオリクスを終了してから [再試行] を押してください。[キャンセル] を押すとアンインストールを中止します。" \
      /SD IDCANCEL IDRETRY check
    Abort
  closed:
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\クオリクス.lnk"
  Delete "$INSTDIR\quarrix.exe"
  Delete "$INSTDIR\quarrix-cli.exe"
  Delete "$INSTDIR\Manual\index.htm"
  RMDir "$INSTDIR\Manual"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  ; Copies of archive members that a program which did not end cleanly left.
  FindFirst $0 $1 "$TEMP\quarrix-members-*"
  members:
    StrCmp $1 "" members_done
    RMDir /r "$TEMP\$1"
    FindNext $0 $1
    Goto members
  members_done:
  FindClose $0

  ; The type is ours only while it still names this program.
  ReadRegStr $0 HKCU "Software\Classes\.fcf" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKCU "Software\Classes\.fcf"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegKey HKCU "Software\Kestrane Soft\Quarrix"
  DeleteRegKey /ifempty HKCU "Software\Kestrane Soft"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
