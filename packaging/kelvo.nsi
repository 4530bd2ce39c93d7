; The kelvo installer. kelvo.exe goes under Program Files; the feature tables go into a
; data folder under ProgramData that every user of the machine may write, because table.txt
; is written beside them; the registry value HKLM\SOFTWARE\Brenk "path" names that folder.
; A Start-menu entry and an uninstaller in the system's list of programs come with it.
;
; Defines given by the build (cmake/packaging.cmake): VERSION (1.0.0.1), EXE, TABLES (a
; file of the table names, one per line, as macros), ICON, OUTFILE.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "${TABLES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\kelvo"
!define DATA_KEY "SOFTWARE\Brenk"

Name "kelvo"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES64\kelvo"
LoadLanguageFile "${NSISDIR}\Contrib\Language files\Russian.nlf"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductName" "kelvo"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка kelvo"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Machine-wide: the 64-bit registry view that kelvo.exe reads, and ProgramData.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=kelvo.exe" "${EXE}"
  ; The manual beside kelvo.exe, where F1 finds it.
  SetOutPath "$INSTDIR\manual"
  File "${MANUAL}\*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A folder made here by the administrator is read-only to other users; Users get modify
  ; rights so that each of them can write table.txt. A table already there is kept.
  CreateDirectory "$APPDATA\kelvo"
  nsExec::Exec 'icacls "$APPDATA\kelvo" /grant *S-1-5-32-545:(OI)(CI)M'
  Pop $0
  SetOutPath "$APPDATA\kelvo\BD"
  SetOverwrite off
  !insertmacro InstallTables
  SetOverwrite on
  WriteRegStr HKLM "${DATA_KEY}" "path" "$APPDATA\kelvo"

  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\kelvo.lnk" "$INSTDIR\kelvo.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "kelvo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kelvo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\kelvo.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /r "$INSTDIR\manual"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\kelvo.lnk"

  ; The installed tables go; the user's table.txt, and the folder holding it, stay.
  !insertmacro UninstallTables "$APPDATA\kelvo\BD"
  RMDir "$APPDATA\kelvo\BD"
  RMDir "$APPDATA\kelvo"

  DeleteRegValue HKLM "${DATA_KEY}" "path"
  DeleteRegKey /ifempty HKLM "${DATA_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The window size kelvo.exe keeps for the user who uninstalls; other users' keys are out
  ; of an uninstaller's reach.
  DeleteRegKey HKCU "Software\kelvo"
SectionEnd
