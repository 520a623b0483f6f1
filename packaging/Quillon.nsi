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
; What Explorer's "Open with" offers for pictures: Quillon as one application among others,
; listed by the types it supports. No type's own key or ProgID is written, so Quillon never
; becomes the default for any, and a key of the user's under Software\Classes\.jpg cannot
; hide the machine's association.
!define OPEN_WITH_KEY "Software\Classes\Applications\Quillon.exe"

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

; The picture types Quillon reads, as its picture chooser lists them.
!macro PictureTypes action
  !insertmacro ${action} .bmp
  !insertmacro ${action} .ico
  !insertmacro ${action} .png
  !insertmacro ${action} .jpg
  !insertmacro ${action} .jpeg
  !insertmacro ${action} .jpe
  !insertmacro ${action} .jfif
  !insertmacro ${action} .gif
  !insertmacro ${action} .tif
  !insertmacro ${action} .tiff
  !insertmacro ${action} .pcx
  !insertmacro ${action} .tga
  !insertmacro ${action} .psd
!macroend

!macro OfferForType type
  WriteRegStr HKCU "${OPEN_WITH_KEY}\SupportedTypes" "${type}" ""
!macroend

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
  ; Explorer's "Send to" menu hands the chosen pictures or folders to Quillon.
  CreateShortcut "$SENDTO\Quillon.lnk" "$INSTDIR\Quillon.exe" "" "$INSTDIR\Quillon.exe" 0
  WriteRegStr HKCU "${OPEN_WITH_KEY}" "FriendlyAppName" "Quillon"
  WriteRegStr HKCU "${OPEN_WITH_KEY}\shell\open\command" "" '"$INSTDIR\Quillon.exe" "%1"'
  !insertmacro PictureTypes OfferForType

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
  Delete "$SENDTO\Quillon.lnk"
  DeleteRegKey HKCU "${OPEN_WITH_KEY}"
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
