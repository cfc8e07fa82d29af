; The Windows installer: puts the programs and the empty database into
; Program Files\Velmorant, adds the window program to the Start menu and
; registers an uninstaller in the list of installed programs. Slovak; /S
; installs and uninstalls without asking. dist/windows/CMakeLists.txt runs
; makensis with these defined:
;   VERSION   the project's version (0.1), VERSION4 the same as a.b.c.d
;   STAGE     the folder with the files to install, OUTFILE the installer
;   ICON      the programs' icon; WINDOW when the window program is built
Unicode true
; The 64-bit stub: the programs are 64-bit, and so is $PROGRAMFILES64.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmorant"
!define PUBLISHER "Vývojári programu Velmorant"
!define SHORTCUT "$SMPROGRAMS\Velmorant.lnk"
!ifdef WINDOW
  !define MAIN_PROGRAM velmorant.exe
!else
  !define MAIN_PROGRAM velmorant-cli.exe
!endif

; The programs must carry the version that the installer announces.
!getdllversion "${STAGE}/velmorant-cli.exe" CLI_
!if "${CLI_1}.${CLI_2}.${CLI_3}.${CLI_4}" != "${VERSION4}"
  !error "velmorant-cli.exe is version ${CLI_1}.${CLI_2}.${CLI_3}.${CLI_4}, the project ${VERSION4}"
!endif

Name "Velmorant"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Velmorant"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Velmorant ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Slovak"

VIProductVersion ${VERSION4}
VIFileVersion ${VERSION4}
VIAddVersionKey /LANG=${LANG_SLOVAK} "ProductName" "Velmorant"
VIAddVersionKey /LANG=${LANG_SLOVAK} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SLOVAK} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SLOVAK} "FileDescription" "Inštalácia programu Velmorant"
VIAddVersionKey /LANG=${LANG_SLOVAK} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SLOVAK} "LegalCopyright" "© 2026 ${PUBLISHER}"

; The installed files, one list for installing and removing them: the
; uninstaller removes exactly these, so that files a user put into the
; folder are kept, and so is the folder then.
!macro VelmorantFiles Action
  !ifdef WINDOW
    !insertmacro ${Action} velmorant.exe
  !endif
  !insertmacro ${Action} velmorant-cli.exe
  !insertmacro ${Action} velmorant-blank.mdb
  !insertmacro ${Action} README.txt
!macroend
!macro InstallFile Name
  File "${STAGE}/${Name}"
!macroend
!macro RemoveFile Name
  Delete "$INSTDIR\${Name}"
!macroend

; Per machine: the 64-bit registry and every user's Start menu.
!macro VelmorantContext
  SetRegView 64
  SetShellVarContext all
!macroend
Function .onInit
  !insertmacro VelmorantContext
FunctionEnd
Function un.onInit
  !insertmacro VelmorantContext
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  !insertmacro VelmorantFiles InstallFile
  WriteUninstaller "$INSTDIR\uninstall.exe"
  !ifdef WINDOW
    CreateShortcut "${SHORTCUT}" "$INSTDIR\velmorant.exe"
  !endif

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmorant"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${MAIN_PROGRAM}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  !insertmacro VelmorantFiles RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  RMDir "$INSTDIR"
SectionEnd
