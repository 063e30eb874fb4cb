; The per-user installer of Quorset: no administrator rights, 64-bit, in the languages the
; program speaks, after the user's language. scripts/package passes VERSION, COMPANY,
; PROGRAM (the folder with the files to install), ICON and OUTFILE, and SIGN (the signing
; command) to sign.
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
; The installer's header, and so the uninstaller's, carries the release's time.
!packhdr "${HEADER}" '"${PE_HEADER}" time "${HEADER}"'
!ifdef SIGN
  ; The uninstaller is signed as it is made, before it is packed into the installer.
  !uninstfinalize '"${SIGN}" "%1"' = 0
!endif
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
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(StartQuorset)"
!define MUI_FINISHPAGE_RUN_FUNCTION StartFromFinishPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "SpanishInternational"
!insertmacro MUI_LANGUAGE "Italian"
!insertmacro MUI_LANGUAGE "PortugueseBR"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString StartQuorset ${LANG_ENGLISH} "Start Quorset"
LangString StartQuorset ${LANG_GERMAN} "Quorset starten"
LangString StartQuorset ${LANG_FRENCH} "Démarrer Quorset"
LangString StartQuorset ${LANG_SPANISHINTERNATIONAL} "Iniciar Quorset"
LangString StartQuorset ${LANG_ITALIAN} "Avvia Quorset"
LangString StartQuorset ${LANG_PORTUGUESEBR} "Iniciar o Quorset"
LangString StartQuorset ${LANG_JAPANESE} "Quorset を起動する"
LangString StartQuorset ${LANG_SIMPCHINESE} "启动 Quorset"
LangString RemoveSettings ${LANG_ENGLISH} "Also remove my settings"
LangString RemoveSettings ${LANG_GERMAN} "Auch meine Einstellungen entfernen"
LangString RemoveSettings ${LANG_FRENCH} "Supprimer aussi mes paramètres"
LangString RemoveSettings ${LANG_SPANISHINTERNATIONAL} "Quitar también mi configuración"
LangString RemoveSettings ${LANG_ITALIAN} "Rimuovi anche le mie impostazioni"
LangString RemoveSettings ${LANG_PORTUGUESEBR} "Remover também as minhas configurações"
LangString RemoveSettings ${LANG_JAPANESE} "設定も削除する"
LangString RemoveSettings ${LANG_SIMPCHINESE} "同时删除我的设置"
LangString ProgramFiles ${LANG_ENGLISH} "Quorset"
LangString ProgramFiles ${LANG_GERMAN} "Quorset"
LangString ProgramFiles ${LANG_FRENCH} "Quorset"
LangString ProgramFiles ${LANG_SPANISHINTERNATIONAL} "Quorset"
LangString ProgramFiles ${LANG_ITALIAN} "Quorset"
LangString ProgramFiles ${LANG_PORTUGUESEBR} "Quorset"
LangString ProgramFiles ${LANG_JAPANESE} "Quorset"
LangString ProgramFiles ${LANG_SIMPCHINESE} "Quorset"
LangString StillRunning ${LANG_ENGLISH} "Quorset did not end. Please end it from its tray menu and try again."
LangString StillRunning ${LANG_GERMAN} "Quorset wurde nicht beendet. Bitte beenden Sie es über sein Menü im Infobereich und versuchen Sie es erneut."
LangString StillRunning ${LANG_FRENCH} "Quorset ne s'est pas arrêté. Quittez-le à partir de son menu dans la zone de notification, puis réessayez."
LangString StillRunning ${LANG_SPANISHINTERNATIONAL} "Quorset no se ha cerrado. Ciérrelo desde su menú del área de notificación e inténtelo de nuevo."
LangString StillRunning ${LANG_ITALIAN} "Quorset non è stato chiuso. Chiuderlo dal relativo menu nell'area di notifica e riprovare."
LangString StillRunning ${LANG_PORTUGUESEBR} "O Quorset não foi encerrado. Encerre-o pelo menu dele na área de notificação e tente novamente."
LangString StillRunning ${LANG_JAPANESE} "Quorset が終了しませんでした。通知領域のメニューから Quorset を終了して、もう一度やり直してください。"
LangString StillRunning ${LANG_SIMPCHINESE} "Quorset 未能退出。请从通知区域中它的菜单退出 Quorset，然后重试。"
LangString OldWindows ${LANG_ENGLISH} "Quorset needs Windows 10 version 1607 or later."
LangString OldWindows ${LANG_GERMAN} "Quorset benötigt Windows 10 Version 1607 oder neuer."
LangString OldWindows ${LANG_FRENCH} "Quorset nécessite Windows 10 version 1607 ou ultérieure."
LangString OldWindows ${LANG_SPANISHINTERNATIONAL} "Quorset requiere Windows 10 versión 1607 o posterior."
LangString OldWindows ${LANG_ITALIAN} "Quorset richiede Windows 10 versione 1607 o successiva."
LangString OldWindows ${LANG_PORTUGUESEBR} "O Quorset requer o Windows 10 versão 1607 ou posterior."
LangString OldWindows ${LANG_JAPANESE} "Quorset には Windows 10 バージョン 1607 以降が必要です。"
LangString OldWindows ${LANG_SIMPCHINESE} "Quorset 需要 Windows 10 版本 1607 或更高版本。"
LangString NotStarted ${LANG_ENGLISH} "Quorset is installed, but Setup runs as administrator and could not start it with your own rights. Please start it from the Start menu."
LangString NotStarted ${LANG_GERMAN} "Quorset ist installiert, aber das Setup läuft als Administrator und konnte es nicht mit Ihren eigenen Rechten starten. Bitte starten Sie es über das Startmenü."
LangString NotStarted ${LANG_FRENCH} "Quorset est installé, mais le programme d'installation s'exécute en tant qu'administrateur et n'a pas pu le démarrer avec vos propres droits. Démarrez-le à partir du menu Démarrer."
LangString NotStarted ${LANG_SPANISHINTERNATIONAL} "Quorset está instalado, pero el programa de instalación se ejecuta como administrador y no ha podido iniciarlo con sus propios permisos. Inícielo desde el menú Inicio."
LangString NotStarted ${LANG_ITALIAN} "Quorset è installato, ma il programma di installazione è in esecuzione come amministratore e non è riuscito ad avviarlo con le autorizzazioni dell'utente. Avviarlo dal menu Start."
LangString NotStarted ${LANG_PORTUGUESEBR} "O Quorset está instalado, mas o programa de instalação está sendo executado como administrador e não pôde iniciá-lo com as suas próprias permissões. Inicie-o pelo menu Iniciar."
LangString NotStarted ${LANG_JAPANESE} "Quorset はインストールされましたが、セットアップが管理者として実行されているため、お使いのユーザーの権限で起動できませんでした。スタート メニューから起動してください。"
LangString NotStarted ${LANG_SIMPCHINESE} "Quorset 已安装，但安装程序以管理员身份运行，无法以你自己的权限启动它。请从“开始”菜单启动它。"

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

; Starts the installed Quorset with the arguments on the stack, with the user's own rights.
; An installer that runs as administrator would hand those rights on to what it starts,
; and a tray program running so is cut off from the messages of the user's other programs
; (the shell's among them); it asks the user's shell to start Quorset instead. When the
; shell cannot, Quorset is not started, and the user is told so.
Function StartQuorset
  Exch $0   ; the arguments
  Push $1
  Push $2
  StrCpy $2 0  ; whether the installer runs elevated
  System::Call "advapi32::OpenProcessToken(p -1, i 8, *p .r1) i .r2"  ; TOKEN_QUERY
  ${If} $2 != 0
    System::Call "advapi32::GetTokenInformation(p r1, i 20, *i .r2, i 4, *i)"  ; TokenElevation
    System::Call "kernel32::CloseHandle(p r1)"
  ${EndIf}
  ${If} $2 == 0
    Exec '"$INSTDIR\Quorset.exe" $0'
  ${Else}
    Push $0
    Call StartThroughShell
    Pop $1
    ${If} $1 != 0
      MessageBox MB_OK|MB_ICONINFORMATION "$(NotStarted)" /SD IDOK
    ${EndIf}
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Asks the user's shell to start $INSTDIR\Quorset.exe in $INSTDIR with the arguments on the
; stack; leaves 0 on the stack when the shell took the request. The shell's window of the
; desktop leads to its view of the desktop, whose background object gives the shell's
; automation object, and that object's ShellExecute runs in the shell's own process.
Function StartThroughShell
  Exch $0   ; the arguments, then the result
  Push $1   ; the interface of each step, released after the next step took it
  Push $2
  Push $3   ; the HRESULT of each step
  Push $4
  Push $5   ; five VARIANTs of 24 bytes: where to look, nothing, the arguments, the folder, the window state
  Push $6
  Push $7
  Push $8
  Push $9
  System::Call "ole32::CoInitializeEx(p 0, i 2) i .r4"  ; apartment-threaded
  System::Call "*(&i2 3, &i2, &i2, &i2, l 0, l) p .r5"  ; VT_I4 CSIDL_DESKTOP
  System::Call "*(&i2 0, &i2, &i2, &i2, l, l) p .r6"    ; VT_EMPTY
  System::Call "oleaut32::SysAllocString(w r0) p .r1"
  System::Call "*(&i2 8, &i2, &i2, &i2, p r1, l) p .r7"  ; VT_BSTR
  StrCpy $1 $INSTDIR
  System::Call "oleaut32::SysAllocString(w r1) p .r1"
  System::Call "*(&i2 8, &i2, &i2, &i2, p r1, l) p .r8"  ; VT_BSTR
  System::Call "*(&i2 3, &i2, &i2, &i2, l 1, l) p .r9"  ; VT_I4 SW_SHOWNORMAL
  StrCpy $0 1
  StrCpy $2 0
  ; CLSID_ShellWindows from the local server, as IID_IShellWindows
  System::Call "ole32::CoCreateInstance(g '{9BA05972-F6A8-11CF-A442-00A0C90A8F39}', p 0, i 4, g '{85CB6900-4D95-11CF-960C-0080C7F4EE85}', *p .r1) i .r3"
  ${If} $3 == 0
    ; FindWindowSW(where, root, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &dispatch)
    System::Call "$1->15(p r5, p r6, i 8, *i, i 1, *p .r2) i .r3"
    System::Call "$1->2()"
  ${EndIf}
  ${If} $3 == 0
  ${AndIf} $2 != 0
    System::Call "$2->0(g '{6D5140C1-7436-11CE-8034-00AA006009FA}', *p .r1) i .r3"  ; IServiceProvider
    System::Call "$2->2()"
  ${Else}
    StrCpy $3 1
  ${EndIf}
  ${If} $3 == 0
    ; QueryService(SID_STopLevelBrowser, IID_IShellBrowser)
    System::Call "$1->3(g '{4C96BE40-915C-11CF-99D3-00AA004AE837}', g '{000214E2-0000-0000-C000-000000000046}', *p .r2) i .r3"
    System::Call "$1->2()"
  ${EndIf}
  ${If} $3 == 0
    System::Call "$2->15(*p .r1) i .r3"  ; IShellBrowser::QueryActiveShellView
    System::Call "$2->2()"
  ${EndIf}
  ${If} $3 == 0
    ; IShellView::GetItemObject(SVGIO_BACKGROUND, IID_IDispatch)
    System::Call "$1->15(i 0, g '{00020400-0000-0000-C000-000000000046}', *p .r2) i .r3"
    System::Call "$1->2()"
  ${EndIf}
  ${If} $3 == 0
    System::Call "$2->0(g '{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}', *p .r1) i .r3"  ; IShellFolderViewDual
    System::Call "$2->2()"
  ${EndIf}
  ${If} $3 == 0
    System::Call "$1->7(*p .r2) i .r3"  ; get_Application
    System::Call "$1->2()"
  ${EndIf}
  ${If} $3 == 0
    System::Call "$2->0(g '{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}', *p .r1) i .r3"  ; IShellDispatch2
    System::Call "$2->2()"
  ${EndIf}
  ${If} $3 == 0
    ; ShellExecute(file, arguments, folder, verb, window state): each VARIANT is passed as
    ; the address of a copy
    StrCpy $2 "$INSTDIR\Quorset.exe"
    System::Call "oleaut32::SysAllocString(w r2) p .r2"
    System::Call "$1->31(p r2, p r7, p r8, p r6, p r9) i .r3"
    System::Call "$1->2()"
    System::Call "oleaut32::SysFreeString(p r2)"
    ${If} $3 == 0
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  System::Call "oleaut32::VariantClear(p r7)"
  System::Call "oleaut32::VariantClear(p r8)"
  System::Free $5
  System::Free $6
  System::Free $7
  System::Free $8
  System::Free $9
  ${If} $4 == 0      ; S_OK
  ${OrIf} $4 == 1    ; S_FALSE: this thread had COM already; the count went up all the same
    System::Call "ole32::CoUninitialize()"
  ${EndIf}
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

Function StartFromFinishPage
  Push ""
  Call StartQuorset
FunctionEnd

; A copy that was running has been started again already: the finish page offers no start,
; which would only start a second copy that ends at once.
Function FinishShow
  ${If} $WasRunning != 0
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

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
    Push ""
    Call StartQuorset
  ${ElseIf} $WasRunning == 1
    Push "/S"
    Call StartQuorset
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
  ; The program's crash dumps, in the folder Windows keeps for them; other programs' stay.
  Delete "$LOCALAPPDATA\CrashDumps\Quorset-*.dmp"
  RMDir "$LOCALAPPDATA\CrashDumps"
SectionEnd
