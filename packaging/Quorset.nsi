; The per-user installer of Quorset: no administrator rights, 64-bit, English or German
; after the user's language. scripts/package passes VERSION, COMPANY, PROGRAM (the folder
; with the files to install), ICON and OUTFILE.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include WinVer.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorset"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "SOFTWARE\${COMPANY}\Quorset"

Name "Quorset"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Quorset"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "Quorset"
VIAddVersionKey /LANG=0 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=0 "FileDescription" "Quorset setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 ${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorset.exe"
!define MUI_FINISHPAGE_RUN_TEXT "$(StartQuorset)"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString StartQuorset ${LANG_ENGLISH} "Start Quorset"
LangString StartQuorset ${LANG_GERMAN} "Quorset starten"
LangString RemoveSettings ${LANG_ENGLISH} "Also remove my settings"
LangString RemoveSettings ${LANG_GERMAN} "Auch meine Einstellungen entfernen"
LangString ProgramFiles ${LANG_ENGLISH} "Quorset"
LangString ProgramFiles ${LANG_GERMAN} "Quorset"
LangString StillRunning ${LANG_ENGLISH} "Quorset did not end. Please end it from its tray menu and try again."
LangString StillRunning ${LANG_GERMAN} "Quorset wurde nicht beendet. Bitte beenden Sie es über sein Menü im Infobereich und versuchen Sie es erneut."
LangString OldWindows ${LANG_ENGLISH} "Quorset needs Windows 10 version 1607 or later."
LangString OldWindows ${LANG_GERMAN} "Quorset benötigt Windows 10 Version 1607 oder neuer."

; The build the program needs: the first to give each window its own dots per inch.
!define LEAST_BUILD 14393

Function .onInit
  ${IfNot} ${AtLeastWin10}
  ${OrIfNot} ${AtLeastBuild} ${LEAST_BUILD}
    MessageBox MB_OK|MB_ICONSTOP "$(OldWindows)" /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Var WasRunning   ; 0 not running, 1 running hidden, 2 running with its window shown

; Ends the Quorset started from $INSTDIR\Quorset.exe the way the task manager does:
; WM_CLOSE to its application window. The program then saves its placement and settings
; and ends by itself; the installer waits for its process to end, which lets go of its
; files. A copy started from another folder (a portable one) is left running: every
; running copy has an application window, and only the one whose process runs this
; folder's program file is closed.
!macro CloseRunningQuorset un
Function ${un}CloseRunningQuorset
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $WasRunning 0
  StrCpy $3 "$INSTDIR\Quorset.exe"
  System::Call "kernel32::GetLongPathNameW(w r3, w .r3, i ${NSIS_MAX_STRLEN})"
  StrCpy $0 0
  ${Do}
    System::Call "user32::FindWindowExW(p 0, p r0, w 'QuorsetApplication', p 0) p .r0"
    ${If} $0 == 0
      ${ExitDo}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
    System::Call "kernel32::OpenProcess(i 0x00101000, i 0, i r1) p .r2"
    ${If} $2 == 0
      ${Continue}
    ${EndIf}
    System::Call "kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r1, *i ${NSIS_MAX_STRLEN})"
    System::Call "kernel32::GetLongPathNameW(w r1, w .r1, i ${NSIS_MAX_STRLEN})"
    ${If} $1 != $3
      System::Call "kernel32::CloseHandle(p r2)"
      ${Continue}
    ${EndIf}

    StrCpy $WasRunning 1
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    Push $1
    Call ${un}LauncherShown
    Pop $1
    ${If} $1 == 1
      StrCpy $WasRunning 2
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r1"
    System::Call "kernel32::CloseHandle(p r2)"
    ${If} $1 != 0  ; not WAIT_OBJECT_0
      MessageBox MB_OK|MB_ICONSTOP "$(StillRunning)" /SD IDOK
      Abort
    ${EndIf}
    ${ExitDo}  ; one copy of a program file runs at a time
  ${Loop}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; 1 when the process whose id is on the stack shows its toolbar window, else 0.
Function ${un}LauncherShown
  Exch $0   ; the process id
  Push $1   ; the window
  Push $2
  Push $3   ; the answer
  StrCpy $1 0
  StrCpy $3 0
  ${Do}
    System::Call "user32::FindWindowExW(p 0, p r1, w 'QuorsetForm', w 'Quorset') p .r1"
    ${If} $1 == 0
      ${ExitDo}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p r1, *i .r2)"
    ${If} $2 == $0
      System::Call "user32::IsWindowVisible(p r1) i .r2"
      ${If} $2 != 0
        StrCpy $3 1
      ${EndIf}
    ${EndIf}
  ${Loop}
  StrCpy $0 $3
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro CloseRunningQuorset ""
!insertmacro CloseRunningQuorset "un."

Section "$(ProgramFiles)" SecProgram
  SectionIn RO
  SetShellVarContext current
  Call CloseRunningQuorset
  SetOutPath "$INSTDIR"
  File "${PROGRAM}/*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The error-report folder, so that reports are written from the first error on.
  CreateDirectory "$APPDATA\BROM\VULD"
  CreateShortcut "$SMPROGRAMS\Quorset.lnk" "$INSTDIR\Quorset.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quorset"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorset.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; A copy that was running comes back as it was: with its window, or in the tray only.
  ${If} $WasRunning == 2
    Exec '"$INSTDIR\Quorset.exe"'
  ${ElseIf} $WasRunning == 1
    Exec '"$INSTDIR\Quorset.exe" /S'
  ${EndIf}
SectionEnd

Section "un.$(ProgramFiles)" UnSecProgram
  SectionIn RO
  SetShellVarContext current
  Call un.CloseRunningQuorset
  Delete "$INSTDIR\Quorset.exe"
  Delete "$INSTDIR\Vuld*.dll"
  Delete "$INSTDIR\trace.log"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Quorset.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Quorset"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless the user ticks it; a silent uninstall keeps the settings.
Section /o "un.$(RemoveSettings)" UnSecSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "SOFTWARE\${COMPANY}"
SectionEnd
