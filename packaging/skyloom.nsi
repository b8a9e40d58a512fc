; Skyloom's setup program.
;   makensis -DVERSION=1.2.3 -DSTAGE=<folder holding skyloom.exe> -DICON=<skyloom.ico>
;            -DOUTFILE=<setup.exe> [-DCOMPRESSOR=zlib] skyloom.nsi
; Per-user by default: no elevation, the user's own programs folder and
; registry. Run elevated, "Everyone on this computer" (or /AllUsers) installs
; under Program Files for all users. Switches: /S (silent), /AllUsers,
; /StartWithWindows, /D=<folder> (last).
Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
!ifdef COMPRESSOR
SetCompressor /SOLID ${COMPRESSOR}
!else
SetCompressor /SOLID lzma
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include nsDialogs.nsh
!include Sections.nsh
!include WinMessages.nsh

!define EXE "skyloom.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skyloom"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define CLASSES "Software\Classes"
!define USER_DIR "$LOCALAPPDATA\Programs\Skyloom"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "Skyloom ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${USER_DIR}"
BrandingText "Quillbright Skyloom ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Skyloom"
VIAddVersionKey /LANG=1033 "CompanyName" "Quillbright"
VIAddVersionKey /LANG=1033 "FileDescription" "Skyloom Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Quillbright"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

Var AllUsers
Var ScopeMe
Var ScopeEveryone

!define MUI_WELCOMEPAGE_TEXT "Setup will install Skyloom ${VERSION}, the wallpaper changer, for you: no administrator rights are needed.$\r$\n$\r$\nA Skyloom that is running now will be closed; your playlists and settings are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
Page custom ScopePage ScopePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Start Skyloom now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; --- shared by setup and uninstaller ------------------------------------

; A running Skyloom is asked to end (/exit through the installed program,
; else WM_CLOSE to its window) and waited for: its single-instance mutex
; goes with the process, after the files are let go.
!macro CloseSkyloom un
Function ${un}CloseSkyloom
  FindWindow $0 "TMainForm" "Skyloom"
  ${If} $0 <> 0
    ${If} ${FileExists} "$INSTDIR\${EXE}"
      ExecWait '"$INSTDIR\${EXE}" /exit'
    ${Else}
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
  ${EndIf}
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "Local\Skyloom.SingleInstance") p .r2'
    ${If} $2 = 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
    IntOp $1 $1 + 1
    ${If} $1 > 150
      MessageBox MB_ICONSTOP "Skyloom is still running and did not close. Close it, then try again." /SD IDOK
      SetErrorLevel 32  ; ERROR_SHARING_VIOLATION
      Quit
    ${EndIf}
    Sleep 100
  ${Loop}
FunctionEnd
!macroend
!insertmacro CloseSkyloom ""
!insertmacro CloseSkyloom "un."

; The folder is compared while $LOCALAPPDATA is still the user's.
Function UseAllUsers
  StrCpy $AllUsers 1
  ${If} $INSTDIR == "${USER_DIR}"
    StrCpy $INSTDIR "$PROGRAMFILES64\Skyloom"
  ${EndIf}
  SetShellVarContext all
FunctionEnd

Function UseCurrentUser
  StrCpy $AllUsers 0
  SetShellVarContext current
  ${If} $INSTDIR == "$PROGRAMFILES64\Skyloom"
    StrCpy $INSTDIR "${USER_DIR}"
  ${EndIf}
FunctionEnd

; --- setup ---------------------------------------------------------------

; Only an elevated setup can choose everyone; a normal user installs for
; himself without being asked.
Function ScopePage
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Choose Users" "Choose for whom Skyloom is installed."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Skyloom can be installed for you alone, in your own programs folder, or for everyone who uses this computer, under Program Files."
  Pop $0
  ${NSD_CreateRadioButton} 10u 32u 90% 12u "Only for &me"
  Pop $ScopeMe
  ${NSD_CreateRadioButton} 10u 48u 90% 12u "For &everyone on this computer"
  Pop $ScopeEveryone
  ${If} $AllUsers = 1
    ${NSD_Check} $ScopeEveryone
  ${Else}
    ${NSD_Check} $ScopeMe
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $ScopeEveryone $0
  ${If} $0 = ${BST_CHECKED}
    Call UseAllUsers
  ${Else}
    Call UseCurrentUser
  ${EndIf}
FunctionEnd

!macro Associate EXT PROGID TYPENAME
  WriteRegStr SHCTX "${CLASSES}\${EXT}" "" "${PROGID}"
  WriteRegStr SHCTX "${CLASSES}\${EXT}\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "${CLASSES}\${PROGID}" "" "${TYPENAME}"
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\${EXE},0"
  WriteRegStr SHCTX "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\${EXE}" "%1"'
!macroend

Section "Skyloom" SecMain
  SectionIn RO
  Call CloseSkyloom
  SetOutPath "$INSTDIR"
  File "${STAGE}/${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  !insertmacro Associate ".Gal" "Skyloom.Gallery" "Skyloom Gallery File"
  !insertmacro Associate ".vgl" "Skyloom.VideoGallery" "Skyloom Video Gallery File"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Skyloom"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Quillbright"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start-menu shortcut" SecShortcut
  CreateShortcut "$SMPROGRAMS\Skyloom.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0
SectionEnd

; The same value as the tray menu's "Start with Windows": always the
; installing user's own.
Section /o "Start Skyloom with Windows" SecRun
  WriteRegStr HKCU "${RUN_KEY}" "Skyloom" '"$INSTDIR\${EXE}" /hide'
SectionEnd

; Needs the sections above: it selects them from the command line.
Function .onInit
  StrCpy $AllUsers 0
  SetShellVarContext current
  ; An earlier install is upgraded where it is: the user's own, else an
  ; all-users one when Setup may write there.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  UserInfo::GetAccountType
  Pop $2
  ${If} $INSTDIR != "${USER_DIR}"
    ; /D= chose the folder
  ${ElseIf} $0 != ""
    StrCpy $INSTDIR $0
  ${ElseIf} $1 != ""
  ${AndIf} $2 == "Admin"
    StrCpy $INSTDIR $1
    Call UseAllUsers
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    UserInfo::GetAccountType
    Pop $R1
    ${If} $R1 != "Admin"
      MessageBox MB_ICONSTOP "Installing for all users needs administrator rights: run Setup as administrator." /SD IDOK
      SetErrorLevel 740  ; ERROR_ELEVATION_REQUIRED
      Quit
    ${EndIf}
    Call UseAllUsers
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/StartWithWindows" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecRun}
  ${EndIf}
FunctionEnd

; --- uninstaller ---------------------------------------------------------

Function un.onInit
  SetShellVarContext current
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    SetShellVarContext all
  ${EndIf}
FunctionEnd

; A key is removed only when nothing else is left in it.
!macro DeleteKeyIfEmpty KEY
  ClearErrors
  EnumRegKey $R1 SHCTX "${KEY}" 0
  EnumRegValue $R2 SHCTX "${KEY}" 0
  ${If} $R1 == ""
  ${AndIf} $R2 == ""
    DeleteRegKey SHCTX "${KEY}"
  ${EndIf}
!macroend

; Only what still points at this Skyloom goes.
!macro Unassociate EXT PROGID
  ReadRegStr $R0 SHCTX "${CLASSES}\${PROGID}\shell\open\command" ""
  ${If} $R0 == '"$INSTDIR\${EXE}" "%1"'
    DeleteRegKey SHCTX "${CLASSES}\${PROGID}"
    ReadRegStr $R0 SHCTX "${CLASSES}\${EXT}" ""
    ${If} $R0 == "${PROGID}"
      DeleteRegValue SHCTX "${CLASSES}\${EXT}" ""
    ${EndIf}
    DeleteRegValue SHCTX "${CLASSES}\${EXT}\OpenWithProgids" "${PROGID}"
    !insertmacro DeleteKeyIfEmpty "${CLASSES}\${EXT}\OpenWithProgids"
    !insertmacro DeleteKeyIfEmpty "${CLASSES}\${EXT}"
  ${EndIf}
!macroend

Section "-un.Program"
  Call un.CloseSkyloom
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\wallpaper.bmp"
  Delete "$INSTDIR\wallpaper-*.bmp"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Skyloom.lnk"

  !insertmacro Unassociate ".Gal" "Skyloom.Gallery"
  !insertmacro Unassociate ".vgl" "Skyloom.VideoGallery"
  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'

  ReadRegStr $0 HKCU "${RUN_KEY}" "Skyloom"
  StrLen $1 '"$INSTDIR\${EXE}"'
  StrCpy $2 $0 $1
  ${If} $2 == '"$INSTDIR\${EXE}"'
    DeleteRegValue HKCU "${RUN_KEY}" "Skyloom"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

; Silent uninstalls keep them.
Section /o "un.Remove my playlists and settings"
  SetShellVarContext current
  RMDir /r "$APPDATA\Skyloom"
SectionEnd
