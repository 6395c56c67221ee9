; Velmoria's setup: the bar, its quote gateway and a README in one folder
; under Program Files, for every user of the machine.
;
; installer/CMakeLists.txt passes the build's facts as defines:
;   ARCH         x86 (the product: 32-bit exes) or amd64 (64-bit exes)
;   VERSION      three parts, 5.6.0      VERSION4  four parts, 5.6.0.0
;   BAR_EXE, GATEWAY_EXE, README, ICON   the files to pack
;   PANEL        the welcome and finish pages' picture (164 x 314 BMP)
;   OUTFILE      the setup to write
;
; Silent use (/S) for administrators, each option optional:
;   /QUOTES=live|simulated (live by default)  /FINNHUBKEY=KEY  /TWELVEDATAKEY=KEY
;   /DETAILURL="TEMPLATE" (quoted: its slashes would end it)  /AUTOSTART=0|1
;   /D=C:\Path\Without\Quotes
; The uninstaller keeps the settings unless /REMOVESETTINGS=1 is given (or
; the box is ticked).

!if "${ARCH}" == "amd64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x86 or amd64"
!endif

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Velmoria"
!define PUBLISHER "Velmoria"
!define BAR_FILE "velmoria.exe"
!define GATEWAY_FILE "velmoria-service.exe"
!define README_FILE "README.txt"
!define UNINSTALLER_FILE "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; One Run entry starts both at sign-in: the gateway, which starts the bar
; once it listens (--start-bar). Two entries would start in no set order, and
; a bar that asks before the gateway listens waits an update interval for its
; first quotes.
!define RUN_VALUE "Velmoria"
; The bar's settings: kept over upgrades, removed only on request.
!define SETTINGS_KEY "Software\Orvo"
; $APPDATA is ProgramData once the shell folders are the machine's.
!define CONFIG_DIR "$APPDATA\Velmoria"
!define CONFIG_FILE "velmoria-service.conf"
!define SHORTCUT_DIR "$SMPROGRAMS\Velmoria"
!define BAR_SHORTCUT "Velmoria.lnk"
!define GATEWAY_SHORTCUT "Velmoria Quote Gateway.lnk"

; How the two programs are asked to end: the bar is a dialog titled
; "VELMORIA" whose Exit command saves its settings; the gateway has a
; hidden window whose WM_CLOSE stops it.
!define BAR_WINDOW_CLASS "#32770"
!define BAR_WINDOW_TITLE "VELMORIA"
!define BAR_EXIT_COMMAND 33002
!ifndef GATEWAY_WINDOW_CLASS
  !define GATEWAY_WINDOW_CLASS "VelmoriaServiceWindow"
!endif
; A program that has not ended this long after being asked is ended by
; force, so that its files can be replaced.
!define STOP_TIMEOUT_MS 15000
!define WAIT_OBJECT_0 0
!define SYNCHRONIZE_AND_TERMINATE 0x00100001
; The gateway needs a moment to listen before the bar's first request.
!define GATEWAY_START_WAIT_MS 3000
!define GATEWAY_START_POLL_MS 100

; The exit code of a setup given options it cannot use.
!define EXIT_BAD_OPTIONS 2

Name "${PRODUCT}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "amd64"
  InstallDir "$PROGRAMFILES64\Velmoria"
!else
  InstallDir "$PROGRAMFILES\Velmoria"
!endif
; An upgrade goes where the earlier version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Var Quotes          ; "simulated" or "live"
Var FinnhubKey
Var TwelveDataKey
Var DetailUrl       ; the user's own detail page, "" for ours
Var AutoStart       ; 1 or 0
Var QuotesChosen    ; 1 once a choice was made (page or command line)
Var SimulatedRadio
Var LiveRadio
Var FinnhubField
Var TwelveDataField
Var DetailField
Var AutoStartBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PANEL}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
Page custom QuotesPage QuotesPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Velmoria now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartPrograms
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\${README_FILE}"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Velmoria setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) Velmoria contributors"

; ----------------------------------------------------------------------------
; Shared by setup and uninstaller

!macro ONE_VIEW
  SetShellVarContext all
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
!macroend

; Ends every program whose top-level window is of CLASS (and TITLED, unless
; "") by posting it MESSAGE with WPARAM, and waits for its process to end.
; Uses $R4 to $R7.
!macro STOP_WINDOW_PROGRAM CLASS TITLED MESSAGE WPARAM
  ${Do}
    !if "${TITLED}" == ""
      FindWindow $R4 "${CLASS}"
    !else
      FindWindow $R4 "${CLASS}" "${TITLED}"
    !endif
    ${If} $R4 = 0
      ${Break}
    ${EndIf}
    System::Call "user32::GetWindowThreadProcessId(p R4, *i .R5)"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE_AND_TERMINATE}, i 0, i R5) p .R6"
    System::Call "user32::PostMessage(p R4, i ${MESSAGE}, p ${WPARAM}, p 0)"
    ${If} $R6 P= 0
      ; A process we may not wait for: give it the time, look once more.
      Sleep ${STOP_TIMEOUT_MS}
      ${Break}
    ${EndIf}
    System::Call "kernel32::WaitForSingleObject(p R6, i ${STOP_TIMEOUT_MS}) i .R7"
    ${If} $R7 <> ${WAIT_OBJECT_0}
      DetailPrint "A program did not end when asked; ending it."
      System::Call "kernel32::TerminateProcess(p R6, i 1)"
      System::Call "kernel32::WaitForSingleObject(p R6, i ${STOP_TIMEOUT_MS})"
    ${EndIf}
    System::Call "kernel32::CloseHandle(p R6)"
  ${Loop}
!macroend

; The bar first, so that its last requests still find the gateway.
!macro STOP_PROGRAMS_FUNCTION UN
Function ${UN}StopPrograms
  DetailPrint "Closing Velmoria and its quote gateway..."
  !insertmacro STOP_WINDOW_PROGRAM "${BAR_WINDOW_CLASS}" "${BAR_WINDOW_TITLE}" ${WM_COMMAND} ${BAR_EXIT_COMMAND}
  !insertmacro STOP_WINDOW_PROGRAM "${GATEWAY_WINDOW_CLASS}" "" ${WM_CLOSE} 0
FunctionEnd
!macroend
!insertmacro STOP_PROGRAMS_FUNCTION ""
!insertmacro STOP_PROGRAMS_FUNCTION "un."

; ----------------------------------------------------------------------------
; Setup

; What an earlier install chose: the quotes from the gateway's configuration
; file, the start at sign-in from the Run entries.
Function ReadEarlierChoices
  StrCpy $Quotes "live"
  StrCpy $FinnhubKey ""
  StrCpy $TwelveDataKey ""
  StrCpy $DetailUrl ""
  StrCpy $AutoStart 1
  ClearErrors
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${IfNot} ${Errors}
    ReadRegStr $0 HKLM "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == ""
      StrCpy $AutoStart 0
    ${EndIf}
  ${EndIf}
  ClearErrors
  FileOpen $0 "${CONFIG_DIR}\${CONFIG_FILE}" r
  ${If} ${Errors}
    Return
  ${EndIf}
  ${Do}
    ClearErrors
    FileRead $0 $1
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    ${TrimNewLines} $1 $1
    StrCpy $2 $1 7
    ${If} $2 == "source="
      StrCpy $2 $1 "" 7
      ${If} $2 == "simulated"
        StrCpy $Quotes "simulated"
      ${Else}
        StrCpy $Quotes "live"
      ${EndIf}
    ${EndIf}
    StrCpy $2 $1 12
    ${If} $2 == "key=finnhub="
      StrCpy $FinnhubKey $1 "" 12
    ${EndIf}
    StrCpy $2 $1 15
    ${If} $2 == "key=twelvedata="
      StrCpy $TwelveDataKey $1 "" 15
    ${EndIf}
    StrCpy $2 $1 11
    ${If} $2 == "detail-url="
      StrCpy $DetailUrl $1 "" 11
    ${EndIf}
  ${Loop}
  FileClose $0
FunctionEnd

; /QUOTES, /FINNHUBKEY, /TWELVEDATAKEY, /DETAILURL and /AUTOSTART override
; what the earlier install chose.
Function ReadCommandLine
  StrCpy $QuotesChosen 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/QUOTES=" $0
  ${IfNot} ${Errors}
    ${If} $0 == "simulated"
    ${OrIf} $0 == "live"
      StrCpy $Quotes $0
      StrCpy $QuotesChosen 1
    ${Else}
      MessageBox MB_ICONSTOP "/QUOTES takes simulated or live." /SD IDOK
      SetErrorLevel ${EXIT_BAD_OPTIONS}
      Quit
    ${EndIf}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/FINNHUBKEY=" $0
  ${IfNot} ${Errors}
    StrCpy $FinnhubKey $0
    StrCpy $QuotesChosen 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/TWELVEDATAKEY=" $0
  ${IfNot} ${Errors}
    StrCpy $TwelveDataKey $0
    StrCpy $QuotesChosen 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/DETAILURL=" $0
  ${IfNot} ${Errors}
    StrCpy $DetailUrl $0
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART=" $0
  ${IfNot} ${Errors}
    ${If} $0 == "1"
    ${OrIf} $0 == "0"
      StrCpy $AutoStart $0
    ${Else}
      MessageBox MB_ICONSTOP "/AUTOSTART takes 1 or 0." /SD IDOK
      SetErrorLevel ${EXIT_BAD_OPTIONS}
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

Function .onInit
  !insertmacro ONE_VIEW
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "Velmoria is installed for every user of this computer: run its setup as an administrator." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
  Call ReadEarlierChoices
  Call ReadCommandLine
FunctionEnd

Function QuotesPage
  !insertmacro MUI_HEADER_TEXT "Quotes" "Choose where Velmoria's quotes come from."
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateRadioButton} 0 0 100% 12u "&Simulated quotes: offline, for trying Velmoria out"
  Pop $SimulatedRadio
  ${NSD_CreateRadioButton} 0 16u 100% 12u "&Live quotes from market-data sources (needs the internet)"
  Pop $LiveRadio
  ${NSD_CreateLabel} 12u 32u 100% 20u "Live quotes come from a keyless chart source. Free keys from Finnhub and Twelve Data add them as further sources (optional):"
  Pop $0
  ${NSD_CreateLabel} 12u 56u 70u 12u "&Finnhub key:"
  Pop $0
  ${NSD_CreateText} 84u 54u 180u 12u "$FinnhubKey"
  Pop $FinnhubField
  ${NSD_CreateLabel} 12u 72u 70u 12u "&Twelve Data key:"
  Pop $0
  ${NSD_CreateText} 84u 70u 180u 12u "$TwelveDataKey"
  Pop $TwelveDataField
  ${NSD_CreateLabel} 12u 90u 70u 12u "&Detail page:"
  Pop $0
  ${NSD_CreateText} 84u 88u 180u 12u "$DetailUrl"
  Pop $DetailField
  ${NSD_CreateLabel} 84u 102u 210u 18u "Optional: the address a click on a quote opens, with {symbol} for its symbol."
  Pop $0
  ${NSD_CreateCheckBox} 0 122u 100% 12u "&When anyone signs in, start Velmoria and its quote gateway"
  Pop $AutoStartBox
  ${If} $AutoStart == 1
    ${NSD_Check} $AutoStartBox
  ${EndIf}
  ${If} $Quotes == "live"
    ${NSD_Check} $LiveRadio
  ${Else}
    ${NSD_Check} $SimulatedRadio
  ${EndIf}
  ${NSD_OnClick} $SimulatedRadio QuotesChoiceChanged
  ${NSD_OnClick} $LiveRadio QuotesChoiceChanged
  Push $LiveRadio
  Call QuotesChoiceChanged
  nsDialogs::Show
FunctionEnd

; The key fields count only for live quotes.
Function QuotesChoiceChanged
  Pop $0 ; the control, when called as a handler
  ${NSD_GetState} $LiveRadio $0
  ${If} $0 == ${BST_CHECKED}
    EnableWindow $FinnhubField 1
    EnableWindow $TwelveDataField 1
  ${Else}
    EnableWindow $FinnhubField 0
    EnableWindow $TwelveDataField 0
  ${EndIf}
FunctionEnd

Function QuotesPageLeave
  ${NSD_GetState} $LiveRadio $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $Quotes "live"
  ${Else}
    StrCpy $Quotes "simulated"
  ${EndIf}
  ${NSD_GetText} $FinnhubField $FinnhubKey
  ${NSD_GetText} $TwelveDataField $TwelveDataKey
  ${NSD_GetText} $DetailField $DetailUrl
  ${NSD_GetState} $AutoStartBox $0
  ${If} $0 == ${BST_CHECKED}
    StrCpy $AutoStart 1
  ${Else}
    StrCpy $AutoStart 0
  ${EndIf}
  StrCpy $QuotesChosen 1
FunctionEnd

; Writes the quote choice into the gateway's configuration file: its
; source=, key= and detail-url= lines are the setup's, every other line (an
; administrator's cache-seconds=, limit=, ...) is kept as it was.
Function WriteGatewayConfig
  CreateDirectory "${CONFIG_DIR}"
  GetTempFileName $R0 "${CONFIG_DIR}"
  FileOpen $R1 $R0 w
  ClearErrors
  FileOpen $R2 "${CONFIG_DIR}\${CONFIG_FILE}" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $R2 $0
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${TrimNewLines} $0 $0
      StrCpy $1 $0 7
      StrCpy $2 $0 4
      StrCpy $3 $0 11
      ${If} $1 != "source="
      ${AndIf} $2 != "key="
      ${AndIf} $3 != "detail-url="
        FileWrite $R1 "$0$\r$\n"
      ${EndIf}
    ${Loop}
    FileClose $R2
  ${EndIf}
  ${If} $Quotes == "live"
    StrCpy $0 "chart"
    ${If} $FinnhubKey != ""
      StrCpy $0 "$0,finnhub"
      FileWrite $R1 "key=finnhub=$FinnhubKey$\r$\n"
    ${EndIf}
    ${If} $TwelveDataKey != ""
      StrCpy $0 "$0,twelvedata"
      FileWrite $R1 "key=twelvedata=$TwelveDataKey$\r$\n"
    ${EndIf}
    FileWrite $R1 "source=$0$\r$\n"
  ${Else}
    FileWrite $R1 "source=simulated$\r$\n"
  ${EndIf}
  ${If} $DetailUrl != ""
    FileWrite $R1 "detail-url=$DetailUrl$\r$\n"
  ${EndIf}
  FileClose $R1
  Delete "${CONFIG_DIR}\${CONFIG_FILE}"
  Rename $R0 "${CONFIG_DIR}\${CONFIG_FILE}"
FunctionEnd

Function WriteRunEntries
  ${If} $AutoStart == 1
    WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${GATEWAY_FILE}" --start-bar'
  ${Else}
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
FunctionEnd

Function WriteAppsEntry
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION4}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${BAR_FILE}",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER_FILE}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER_FILE}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
FunctionEnd

Section "Velmoria"
  SetOutPath "$INSTDIR"
  Call StopPrograms
  File "/oname=${BAR_FILE}" "${BAR_EXE}"
  File "/oname=${GATEWAY_FILE}" "${GATEWAY_EXE}"
  File "/oname=${README_FILE}" "${README}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER_FILE}"

  CreateDirectory "${SHORTCUT_DIR}"
  CreateShortcut "${SHORTCUT_DIR}\${BAR_SHORTCUT}" "$INSTDIR\${BAR_FILE}" "" "$INSTDIR\${BAR_FILE}" 0
  CreateShortcut "${SHORTCUT_DIR}\${GATEWAY_SHORTCUT}" "$INSTDIR\${GATEWAY_FILE}"

  Call WriteRunEntries
  ; A silent upgrade without quote options keeps the earlier file as it is.
  ${If} $QuotesChosen == 1
  ${OrIfNot} ${FileExists} "${CONFIG_DIR}\${CONFIG_FILE}"
    Call WriteGatewayConfig
  ${EndIf}
  Call WriteAppsEntry
SectionEnd

; The finish page's "Start Velmoria now": the gateway first, so that the
; bar's first request finds it listening.
Function StartPrograms
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\${GATEWAY_FILE}"'
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${GATEWAY_WINDOW_CLASS}"
    ${If} $0 <> 0
    ${OrIf} $1 >= ${GATEWAY_START_WAIT_MS}
      ${Break}
    ${EndIf}
    Sleep ${GATEWAY_START_POLL_MS}
    IntOp $1 $1 + ${GATEWAY_START_POLL_MS}
  ${Loop}
  Exec '"$INSTDIR\${BAR_FILE}"'
FunctionEnd

; ----------------------------------------------------------------------------
; Uninstaller

Section "-un.Velmoria"
  Call un.StopPrograms
  Delete /REBOOTOK "$INSTDIR\${BAR_FILE}"
  Delete /REBOOTOK "$INSTDIR\${GATEWAY_FILE}"
  Delete "$INSTDIR\${README_FILE}"
  Delete "$INSTDIR\${UNINSTALLER_FILE}"
  RMDir /REBOOTOK "$INSTDIR"
  Delete "${SHORTCUT_DIR}\${BAR_SHORTCUT}"
  Delete "${SHORTCUT_DIR}\${GATEWAY_SHORTCUT}"
  RMDir "${SHORTCUT_DIR}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

Section /o "un.Remove my settings (symbols, placement, quote sources and keys)" SettingsSection
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  Delete "${CONFIG_DIR}\${CONFIG_FILE}"
  RMDir "${CONFIG_DIR}"
SectionEnd

; After the sections, whose flags it sets.
Function un.onInit
  !insertmacro ONE_VIEW
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS=" $0
  ${IfNot} ${Errors}
  ${AndIf} $0 == "1"
    SectionSetFlags ${SettingsSection} ${SF_SELECTED}
  ${EndIf}
FunctionEnd
