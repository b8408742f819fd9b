; Ostrel's installer, built by the ostrel_packages target:
;   makensis -NOCD -DVERSION=<x.y.z.w> -DSTAGE=<staged package folder>
;            -DFILE_LIST=<uninstall_files.nsh> -DOUTFILE=<setup.exe> ostrel.nsi
;
; Installs into Program Files\Ostrel with a Start-menu folder and an
; uninstaller. The uninstaller ends a running Ostrel, removes the installed
; files, the shortcuts and the logon task "TEMP StartupTask". The user's
; settings (HKCU\SOFTWARE\TEMP and the "TEMP Files" data folder) stay unless
; the user says otherwise: a question when run interactively, the
; /REMOVESETTINGS switch when silent (/S).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Ostrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ostrel"
!define TASK_NAME "TEMP StartupTask"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "The ${PRODUCT} developers"

!define MUI_ICON "${STAGE}/skins/theme1/Ostrel.ico"
!define MUI_UNICON "${STAGE}/skins/theme1/Ostrel.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A running Ostrel holds its files open.
!macro EndRunningProgram
  nsExec::Exec '"$SYSDIR\taskkill.exe" /F /IM Ostrel.exe'
  Pop $0
!macroend

Section "Ostrel"
  SetShellVarContext all
  !insertmacro EndRunningProgram
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  !if /FileExists "${STAGE}/Ostrel.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Ostrel.exe"
  !endif
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\skins\theme1\Ostrel.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  !insertmacro EndRunningProgram
  nsExec::Exec '"$SYSDIR\schtasks.exe" /Delete /TN "${TASK_NAME}" /F'
  Pop $0

  !include "${FILE_LIST}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"

  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/REMOVESETTINGS" $2
  IfErrors 0 remove_settings
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "Also remove your Ostrel settings and downloaded updates?" /SD IDNO IDYES remove_settings
  Goto done
remove_settings:
  SetShellVarContext current
  DeleteRegKey HKCU "SOFTWARE\TEMP"
  RMDir /r "$LOCALAPPDATA\TEMP Files"
done:
SectionEnd
