; Installer of the Windows program, built by build.sh with makensis:
;   makensis -INPUTCHARSET UTF8 -DAPP_DIR=<portable folder> -DAPP_VERSION=<x.y.z.w>
;            -DAPP_ICON=<program.ico> -DFILE_LIST=<nsh> -DOUT_FILE=<setup.exe> installer.nsi
; FILE_LIST holds one Delete line per top-level file of the portable folder.
; A per-user install (no administrator rights): the program folder under the user's local
; programs folder, a Start-menu entry, autostart at login when chosen, and an uninstaller that
; removes what was installed and never the user's data folder (%APPDATA%\QuorvikPcAssist).
; Unattended: setup.exe /S [/AUTOSTART] [/D=<folder>]; uninstall.exe /S.
Unicode true
; 64-bit like the program, so that it also runs under a 64-bit-only Wine.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define PRODUCT "Quorvik电脑助手"
!define EXE "QuorvikPcAssist.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuorvikPcAssist"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\QuorvikPcAssist"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${APP_VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${APP_VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${APP_VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "Quorvik"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Quorvik"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!define MUI_ICON "${APP_ICON}"
!define MUI_UNICON "${APP_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "立即运行 ${PRODUCT}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "SimpChinese"

; The folders the installer owns inside the program folder; the uninstaller removes these and the
; top-level files it wrote, then the program folder only if nothing else is left in it.
!macro OwnedFolders CMD
  ${CMD} "$INSTDIR\Resources"
  ${CMD} "$INSTDIR\platforms"
  ${CMD} "$INSTDIR\imageformats"
  ${CMD} "$INSTDIR\styles"
  ${CMD} "$INSTDIR\tls"
  ${CMD} "$INSTDIR\translations"
!macroend
!define RemoveFolder "RMDir /r"

Section "${PRODUCT}（必需）" SecProgram
  SectionIn RO
  ; A running copy holds its files open; ask it to stop first.
  nsExec::Exec 'taskkill /IM "${EXE}" /F'
  SetOutPath "$INSTDIR"
  File /r "${APP_DIR}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${APP_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Quorvik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${EXE}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "开机时自动启动" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "QuorvikPcAssist" '"$INSTDIR\${EXE}"'
SectionEnd

Function .onInit
  ; /AUTOSTART ticks the autostart box, for unattended installs.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  IfErrors +2
  !insertmacro SelectSection ${SecAutostart}
FunctionEnd

Section "Uninstall"
  nsExec::Exec 'taskkill /IM "${EXE}" /F'
  DeleteRegValue HKCU "${RUN_KEY}" "QuorvikPcAssist"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  !insertmacro OwnedFolders "${RemoveFolder}"
  !include "${FILE_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: a folder the user also keeps other files in stays. The data folder is elsewhere
  ; (%APPDATA%\QuorvikPcAssist) and is left alone.
  RMDir "$INSTDIR"
SectionEnd
