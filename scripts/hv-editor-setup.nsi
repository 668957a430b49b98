; The installer for players: hv-editor.exe and hv.exe for the current user (no administrator
; rights), a Start menu entry, ".hve" files opening in the editor, and an uninstaller.
;   makensis -DSTAGE=dist/hv-windows -DVERSION=1.0.0 -DOUTFILE=dist/hv-editor-setup.exe \
;       scripts/hv-editor-setup.nsi
; /S installs or uninstalls silently; /D=FOLDER (last on the command line) picks the folder.
; The 64-bit stub: the programs are 64-bit anyway, and it runs under a 64-bit-only Wine.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APP "Unofficial HV Editor"
!define KEY "HvEditor"
!define PROGID "HvEditor.Wrestler"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${KEY}"

Name "${APP}"
OutFile "${OUTFILE}"
; A folder the user may write to: the editor keeps options.dat beside itself.
InstallDir "$LOCALAPPDATA\Programs\HV Editor"
InstallDirRegKey HKCU "Software\${KEY}" "InstallDir"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${APP}"
VIAddVersionKey "FileDescription" "${APP} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetOutPath "$INSTDIR"
  File "${STAGE}\hv-editor.exe"
  File "${STAGE}\hv.exe"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\${KEY}" "InstallDir" "$INSTDIR"

  ; The shortcut starts in the program's folder, where options.dat lies.
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\hv-editor.exe"

  WriteRegStr HKCU "Software\Classes\.hve" "" "${PROGID}"
  WriteRegStr HKCU "Software\Classes\${PROGID}" "" "HV wrestler exchange file"
  WriteRegStr HKCU "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\hv-editor.exe,0"
  WriteRegStr HKCU "Software\Classes\${PROGID}\shell\open\command" "" \
    '"$INSTDIR\hv-editor.exe" "%1"'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\hv-editor.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

  ; Explorer shows the new file type at once (SHCNE_ASSOCCHANGED).
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\hv-editor.exe"
  Delete "$INSTDIR\hv.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; options.dat, pages and exported wrestlers are the player's: the folder stays while they do.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${APP}.lnk"

  ; ".hve" is given back only while it still opens in this editor.
  ReadRegStr $0 HKCU "Software\Classes\.hve" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKCU "Software\Classes\.hve"
  DeleteRegKey HKCU "Software\Classes\${PROGID}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\${KEY}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
