; SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows installer. makensis -DVERSION=1.1 -DSTAGE=<folder> -DOUTFILE=<setup.exe>
; STAGE is the installed release folder (cmake --install), LISTS the folder of its file lists
; (install-files.nsh, uninstall-files.nsh). 64-bit, as the program is.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "Merrow Editor"
!define EXE "merrow-editor.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\MerrowEditor"
!define APP_KEY "Software\Classes\Applications\${EXE}"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetShellVarContext all
  SetRegView 64
  SetOutPath "$INSTDIR"
  ; The staged release, file by file (the list is written by scripts/windows-package, so that
  ; the uninstaller removes exactly these).
  !include "${LISTS}/install-files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  ; Listed in Apps, with a silent uninstall.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Merrow Editor developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; "Open with Merrow Editor" for .ext files, without taking the association over.
  WriteRegStr HKLM "${APP_KEY}" "FriendlyAppName" "${APP}"
  WriteRegStr HKLM "${APP_KEY}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
  WriteRegStr HKLM "${APP_KEY}\SupportedTypes" ".ext" ""
  WriteRegStr HKLM "Software\Classes\.ext\OpenWithList\${EXE}" "" ""
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  SetRegView 64
  !include "${LISTS}/uninstall-files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${APP_KEY}"
  DeleteRegKey HKLM "Software\Classes\.ext\OpenWithList\${EXE}"
  DeleteRegKey /ifempty HKLM "Software\Classes\.ext\OpenWithList"
  DeleteRegKey /ifempty HKLM "Software\Classes\.ext"
SectionEnd
