; Setup of Lintel: the five programs, the help, the shell extension in each
; registry view the system has, the companion paths, the file types, the
; Start menu and the uninstaller.
;
;   makensis -DVERSION=2.0.0 -DFILES=<folder> [-DFILES64=<folder>] [-DAMD64]
;            -DOUTFILE=<setup.exe> installer/lintel.nsi
;
; FILES holds the programs of the setup's own bitness (32-bit for the setup
; that ships).  FILES64 holds the 64-bit ltlext.dll, installed beside them in
; the x64 folder on 64-bit Windows.  AMD64 makes a 64-bit setup of 64-bit
; programs; the tests use it where no 32-bit code can run.

Unicode true
!ifdef AMD64
  Target amd64-unicode
!else
  Target x86-unicode
!endif

!include "LogicLib.nsh"
!include "x64.nsh"
!include "Sections.nsh"
!include "WinMessages.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef FILES
  !error "FILES is not defined"
!endif
!ifdef AMD64 & FILES64
  !error "a 64-bit setup installs one ltlext.dll: FILES64 is for the 32-bit setup"
!endif
!ifndef OUTFILE
  !define OUTFILE "Lintel-${VERSION}-setup.exe"
!endif

!define PRODUCT "Lintel"
!define COMPANY "Corvane"
!define SETTINGS_KEY "Software\Corvane\Lintel\Current"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lintel"
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\Lintel.exe"
!define TOOLBAR_CLASS "Lintel.Toolbar"
!define MENU_CLSID "{C43D4080-E099-11D0-A191-444553540000}"
!define FIND_CLSID "{C43D4081-E099-11D0-A191-444553540000}"
!define FIND_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\FindExtensions\Static\LintelExplorer"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
!ifdef AMD64
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) ${COMPANY}"

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; ---------------------------------------------------------------------------
; Shared pieces

; Lintel closes when its hidden main window is closed, saving or asking for
; each changed toolbar; files in use cannot be replaced or removed before.
!macro CloseRunningLintel un
Function ${un}CloseRunningLintel
  StrCpy $1 0
  ${Do}
    FindWindow $0 "LintelMainWindow" "Lintel"
    ${If} $0 = 0
      Return
    ${EndIf}
    ${If} $1 = 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
    ${If} $1 >= 80
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Lintel is still running. Close it, then click Retry." /SD IDCANCEL IDRETRY retry
      Abort "Lintel is still running."
      retry:
      StrCpy $1 0
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro CloseRunningLintel ""
!insertmacro CloseRunningLintel "un."

; The keys the shell needs for ltlext.dll at PATH, in the registry view in
; force.  The same keys as ltlextreg writes for developers.
!macro RegisterShellExtension PATH
  WriteRegStr HKCR "CLSID\${MENU_CLSID}" "" "Lintel toolbar menu"
  WriteRegStr HKCR "CLSID\${MENU_CLSID}\InprocServer32" "" "${PATH}"
  WriteRegStr HKCR "CLSID\${MENU_CLSID}\InprocServer32" "ThreadingModel" "Apartment"
  WriteRegStr HKCR "CLSID\${FIND_CLSID}" "" "Lintel Explorer search"
  WriteRegStr HKCR "CLSID\${FIND_CLSID}\InprocServer32" "" "${PATH}"
  WriteRegStr HKCR "CLSID\${FIND_CLSID}\InprocServer32" "ThreadingModel" "Apartment"
  WriteRegStr HKCR "*\shellex\ContextMenuHandlers\Lintel" "" "${MENU_CLSID}"
  WriteRegStr HKCR "Folder\shellex\ContextMenuHandlers\Lintel" "" "${MENU_CLSID}"
  WriteRegStr HKLM "${FIND_KEY}" "" "${FIND_CLSID}"
  WriteRegStr HKLM "${FIND_KEY}\0" "" "With Lintel &Explorer..."
  WriteRegStr HKLM "${FIND_KEY}\0\DefaultIcon" "" "$INSTDIR\Lintel Explorer.exe,0"
  WriteRegStr HKLM "${APPROVED_KEY}" "${MENU_CLSID}" "Lintel toolbar menu"
  WriteRegStr HKLM "${APPROVED_KEY}" "${FIND_CLSID}" "Lintel Explorer search"
!macroend

!macro UnregisterShellExtension
  DeleteRegKey HKCR "CLSID\${MENU_CLSID}"
  DeleteRegKey HKCR "CLSID\${FIND_CLSID}"
  DeleteRegKey HKCR "*\shellex\ContextMenuHandlers\Lintel"
  DeleteRegKey /ifempty HKCR "*\shellex\ContextMenuHandlers"
  DeleteRegKey /ifempty HKCR "*\shellex"
  DeleteRegKey HKCR "Folder\shellex\ContextMenuHandlers\Lintel"
  DeleteRegKey HKLM "${FIND_KEY}"
  DeleteRegValue HKLM "${APPROVED_KEY}" "${MENU_CLSID}"
  DeleteRegValue HKLM "${APPROVED_KEY}" "${FIND_CLSID}"
!macroend

; The companion paths the programs and the shell extension read, and the
; App Paths entry that lets "Run" and ShellExecute find Lintel.exe by name.
!macro WriteProgramPaths
  WriteRegStr HKLM "${SETTINGS_KEY}" "ExplorerPath" "$INSTDIR\Lintel Explorer.exe"
  WriteRegStr HKLM "${SETTINGS_KEY}" "TipsPath" "$INSTDIR\Lintel Tips.exe"
  WriteRegStr HKLM "${SETTINGS_KEY}" "NewWizPath" "$INSTDIR\Lintel Wizard.exe"
  WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\Lintel.exe"
  WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"
!macroend

!macro DeleteProgramPaths
  DeleteRegValue HKLM "${SETTINGS_KEY}" "ExplorerPath"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "TipsPath"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "NewWizPath"
  ; The trace switch may live there too: only empty keys go.
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Corvane\Lintel"
  DeleteRegKey /ifempty HKLM "Software\Corvane"
  DeleteRegKey HKLM "${APP_PATHS_KEY}"
!macroend

; ---------------------------------------------------------------------------
; Setup

Function .onInit
!ifdef AMD64
  ${IfNot} ${RunningX64}
    MessageBox MB_OK|MB_ICONSTOP "This setup needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!else
  SetRegView 32
!endif
FunctionEnd

Section "Lintel" SecMain
  SectionIn RO
  SetShellVarContext all
  Call CloseRunningLintel
  SetOutPath "$INSTDIR"
  File "${FILES}\Lintel.exe"
  File "${FILES}\Lintel Explorer.exe"
  File "${FILES}\Lintel Wizard.exe"
  File "${FILES}\Lintel Tips.exe"
  File "${FILES}\ltlext.dll"
  File "${FILES}\Lintel.chm"
  File "${FILES}\Lintel Intro.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The setup's own view first: the programs and the library of its bitness.
  !insertmacro WriteProgramPaths
  !insertmacro RegisterShellExtension "$INSTDIR\ltlext.dll"

!ifdef FILES64
  ; A 64-bit Windows Explorer loads only a 64-bit extension, and reads the
  ; Explorer's path in the 64-bit view.
  ${If} ${RunningX64}
    SetOutPath "$INSTDIR\x64"
    File "${FILES64}\ltlext.dll"
    SetRegView 64
    !insertmacro WriteProgramPaths
    !insertmacro RegisterShellExtension "$INSTDIR\x64\ltlext.dll"
    SetRegView 32
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "Lintel64BitExtension" 1
    SetOutPath "$INSTDIR"
  ${EndIf}
!endif

  ; Toolbar files open in Lintel.
  WriteRegStr HKCR ".ltl" "" "${TOOLBAR_CLASS}"
  WriteRegStr HKCR "${TOOLBAR_CLASS}" "" "Lintel toolbar"
  WriteRegStr HKCR "${TOOLBAR_CLASS}\DefaultIcon" "" "$INSTDIR\Lintel.exe,0"
  WriteRegStr HKCR "${TOOLBAR_CLASS}\shell" "" "open"
  WriteRegStr HKCR "${TOOLBAR_CLASS}\shell\open\command" "" '"$INSTDIR\Lintel.exe" "%1"'

  ; Quillet's toolbars (.qld) are Lintel's too, unless Quillet owns them and
  ; the user wants to keep it so.  The owner is kept for the uninstaller.
  ReadRegStr $0 HKCR ".qld" ""
  ${If} $0 != ""
  ${AndIf} $0 != "${TOOLBAR_CLASS}"
    MessageBox MB_YESNO|MB_ICONQUESTION "Quillet toolbar files (.qld) open in another program now.$\n$\nShould Lintel open them instead?" /SD IDNO IDNO keep_qld
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QldPreviousClass" "$0"
  ${EndIf}
  WriteRegStr HKCR ".qld" "" "${TOOLBAR_CLASS}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "QldTaken" 1
  keep_qld:

  CreateDirectory "$SMPROGRAMS\Lintel"
  CreateShortcut "$SMPROGRAMS\Lintel\Lintel.lnk" "$INSTDIR\Lintel.exe"
  CreateShortcut "$SMPROGRAMS\Lintel\Lintel Explorer.lnk" "$INSTDIR\Lintel Explorer.exe"
  CreateShortcut "$SMPROGRAMS\Lintel\Lintel Wizard.lnk" "$INSTDIR\Lintel Wizard.exe"
  CreateShortcut "$SMPROGRAMS\Lintel\Lintel Tips.lnk" "$INSTDIR\Lintel Tips.exe"
  CreateShortcut "$SMPROGRAMS\Lintel\Lintel Help.lnk" "$INSTDIR\Lintel.chm"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lintel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start Lintel when I log on" SecLogon
  SetShellVarContext all
  CreateShortcut "$SMSTARTUP\Lintel.lnk" "$INSTDIR\Lintel.exe"
SectionEnd

; ---------------------------------------------------------------------------
; Uninstaller

Function un.onInit
!ifdef AMD64
  SetRegView 64
!else
  SetRegView 32
!endif
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.CloseRunningLintel

  ; What setup found for .qld goes back; a later owner is left alone.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "QldTaken"
  ReadRegStr $1 HKCR ".qld" ""
  ${If} $0 = 1
  ${AndIf} $1 == "${TOOLBAR_CLASS}"
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "QldPreviousClass"
    ${If} $2 == ""
      DeleteRegKey HKCR ".qld"
    ${Else}
      WriteRegStr HKCR ".qld" "" "$2"
    ${EndIf}
  ${EndIf}
  ReadRegStr $1 HKCR ".ltl" ""
  ${If} $1 == "${TOOLBAR_CLASS}"
    DeleteRegKey HKCR ".ltl"
  ${EndIf}
  DeleteRegKey HKCR "${TOOLBAR_CLASS}"

  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "Lintel64BitExtension"
  ${If} $0 = 1
    SetRegView 64
    !insertmacro UnregisterShellExtension
    !insertmacro DeleteProgramPaths
    SetRegView 32
    ; Windows Explorer may still hold the library: it goes at the next start.
    Delete /REBOOTOK "$INSTDIR\x64\ltlext.dll"
    RMDir /REBOOTOK "$INSTDIR\x64"
  ${EndIf}
  !insertmacro UnregisterShellExtension
  !insertmacro DeleteProgramPaths

  Delete "$SMSTARTUP\Lintel.lnk"
  Delete "$SMPROGRAMS\Lintel\Lintel.lnk"
  Delete "$SMPROGRAMS\Lintel\Lintel Explorer.lnk"
  Delete "$SMPROGRAMS\Lintel\Lintel Wizard.lnk"
  Delete "$SMPROGRAMS\Lintel\Lintel Tips.lnk"
  Delete "$SMPROGRAMS\Lintel\Lintel Help.lnk"
  RMDir "$SMPROGRAMS\Lintel"

  ; Only the files setup put here: toolbar files and traces the user keeps
  ; in this folder stay, and so does the folder then.
  Delete "$INSTDIR\Lintel.exe"
  Delete "$INSTDIR\Lintel Explorer.exe"
  Delete "$INSTDIR\Lintel Wizard.exe"
  Delete "$INSTDIR\Lintel Tips.exe"
  Delete /REBOOTOK "$INSTDIR\ltlext.dll"
  Delete "$INSTDIR\Lintel.chm"
  Delete "$INSTDIR\Lintel Intro.chm"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
