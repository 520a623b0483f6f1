; Quillon's per-user installer. Built by tools/package, which defines:
;   VERSION  the version from CMakeLists.txt's project()
;   STAGE    the folder holding the files to ship (the programs, README.md, LICENSE and
;            the starter scripts)
;   SCRIPTS  the generated list of starter scripts (a ShippedScripts macro)
;   OUTFILE  the installer to write
;
; Quillon writes "script.bat" and reads its scripts in its own folder, so it is installed
; where the user may write, for this user only, and needs no administrator.

Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"

Name "Quillon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quillon"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!include "${SCRIPTS}"

!macro InstallScript name
  File "${STAGE}/${name}"
!macroend

!macro RemoveScript name
  Delete "$INSTDIR\${name}"
!macroend

Section "Quillon"
  SetOutPath "$INSTDIR"
  File "${STAGE}/Quillon.exe"
  File "${STAGE}/quillon-cli.exe"
  File "${STAGE}/README.md"
  File "${STAGE}/LICENSE"
  !insertmacro ShippedScripts InstallScript
  SetOutPath "$INSTDIR\im7"
  File "${STAGE}/im7/*.exe"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Quillon.lnk" "$INSTDIR\Quillon.exe" "" "$INSTDIR\Quillon.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quillon"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Quillon developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quillon.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what was installed and what the program itself leaves beside it (its settings,
; its validation log, a batch file left by an interrupted run). Scripts the user wrote and
; pictures made in the folder stay, and so does the folder while anything is left in it.
Section "Uninstall"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$SMPROGRAMS\Quillon.lnk"
  Delete "$INSTDIR\Quillon.exe"
  Delete "$INSTDIR\quillon-cli.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE"
  RMDir /r "$INSTDIR\im7"
  !insertmacro ShippedScripts RemoveScript
  Delete "$INSTDIR\Quillon.opt"
  Delete "$INSTDIR\Xml_Log.txt"
  Delete "$INSTDIR\script.bat"
  Delete "$INSTDIR\temp.bat"
  Delete "$INSTDIR\dump.txt"
  ; Last, so that a caller waiting for it to vanish knows the rest is done.
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
