; The suite's setup program. It copies the programs and their files into the installation folder
; (default under Program Files), puts the uninstaller's copy into the Windows folder, writes the
; six profile values into the model key and lets standard users keep their settings there,
; registers the startup program for every start, adds the Start-menu entries and the entry of
; Windows' list of installed programs, and ends by running the setup finisher, whose restart
; ends the installation.
;
;   setup.exe [/S [/NORESTART]] [/TRIALDRIVER] [/INI=file] [/D=folder]
;
; /S runs it without windows (the setup finisher then gets /XPEFBASETUP); /NORESTART with /S
; leaves the restart to whoever runs the setup (the finisher gets /XPEFBASETUP /NORESTART and the
; exit code is 3010); /TRIALDRIVER selects the substitute driver; /INI= installs that settings
; file in place of our setup.ini, after checking it as the control panel's /IMPORT does; /D=
; (last, unquoted) chooses the folder. Exit code 0 when done, 3010 when done and a restart is
; needed, 2 when the installation was stopped (a settings file refused, a folder that cannot be
; written, a file that cannot be copied), 1 when the files are installed but the setup finisher
; could not finish. Every run appends what it did to $TEMP\TouchScreen-7.2-Setup.log.
;
; Defines given by the build: OUT (the setup program to write), SRC (this folder), GEN (the
; build's folder of this package: programs.nsh and the data files), BIN (the suite's programs),
; REMOVER (the built file remover), HELPER (setup_helper.exe), DRIVER (the substitute driver's
; image), ICON.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"
!include "TextFunc.nsh"
!include "${SRC}\files.nsh"

Name "${KORAL_PRODUCT} ${KORAL_VERSION}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\TouchScreen KR-PS2"
; Over an existing installation, its folder is offered (the 64-bit view: this is a 64-bit program),
; as the entry of installed programs names it: only administrators can change that entry, while
; every user may set the model key's InstallPath.
InstallDirRegKey HKLM "${KORAL_APPS_KEY}" "InstallLocation"
ShowInstDetails show
; A file that cannot be copied stops the installation instead of being skipped.
AllowSkipFiles off
BrandingText "${KORAL_VENDOR} ${KORAL_PRODUCT} ${KORAL_VERSION}"

VIProductVersion "7.2.0.0"
VIAddVersionKey "ProductName" "${KORAL_PRODUCT}"
VIAddVersionKey "CompanyName" "${KORAL_VENDOR}"
VIAddVersionKey "FileDescription" "${KORAL_PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${KORAL_VERSION}"
VIAddVersionKey "ProductVersion" "${KORAL_VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) ${KORAL_VENDOR}"

Var HadModelKey  ; 1: an installation was there before (its settings are kept)
Var AskedFolder  ; the folder given with /D=, as given
Var PageFolder   ; the folder the user confirmed on the directory page (empty in a silent setup)
Var Copying      ; 1 once files are being copied: before that a failed setup has nothing to take back
Var LogFile      ; the setup's log, for administrators
Var IniGiven     ; 1: /INI= named a settings file that passed; it is staged in $PLUGINSDIR
Var NoRestart    ; 1: /S /NORESTART, the restart is left to whoever runs the setup

!define MUI_ICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${SRC}\Licence.txt"
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!macro KoralInstallProgram NAME
  File "${BIN}\${NAME}"
!macroend
!macro KoralInstallData NAME
  File "${GEN}\data\${NAME}"
!macroend
; The quoted paths of the files in $1.
!macro KoralListFile NAME
  StrCpy $1 '$1 "$INSTDIR\${NAME}"'
!macroend
; Taking back a failed fresh installation.
!macro KoralTakeBack NAME
  Delete "$INSTDIR\${NAME}"
!macroend

; Appends a line, after the time, to the setup's log; the error flag and the registers stay.
!macro KoralLog TEXT
  Push "${TEXT}"
  Call LogLine
!macroend
Function LogLine
  Exch $R9
  Push $R8
  Push $R0
  Push $R1
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  StrCpy $R8 0
  IfErrors 0 +2
    StrCpy $R8 1
  ${GetTime} "" "L" $R0 $R1 $R2 $R3 $R4 $R5 $R6
  ClearErrors
  FileOpen $R3 $LogFile a
  ${IfNot} ${Errors}
    FileSeek $R3 0 END
    FileWrite $R3 "$R2-$R1-$R0 $R4:$R5:$R6 $R9$\r$\n"
    FileClose $R3
  ${EndIf}
  ClearErrors
  StrCmp $R8 1 0 +2
    SetErrors
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
  Pop $R1
  Pop $R0
  Pop $R8
  Pop $R9
FunctionEnd

; Stops the installation with the message: in a box unless silent, in the log, exit code 2.
!macro KoralStop MESSAGE
  !insertmacro KoralLog "stopped: ${MESSAGE}"
  MessageBox MB_OK|MB_ICONSTOP "${MESSAGE}" /SD IDOK
  Abort "${MESSAGE}"
!macroend

!define STILL_RUNNING "A program of ${KORAL_PRODUCT} is still running.$\r$\n$\r$\nClose it, then run the setup again."
!define CANNOT_WRITE "The folder $INSTDIR cannot be written.$\r$\n$\r$\nChoose another folder, or ask your administrator for write access to it."
!define NOT_ADMIN_ONLY "The folder $INSTDIR, or a folder above it, can be changed by users who are not administrators.$\r$\n$\r$\nThe programs installed there run for every user; choose a folder only administrators can change, or a new one."

; Sets the error flag when the installation folder cannot be written. Whatever the check made
; (the folder and any missing folders above it, a test file) is taken away again.
Function CheckFolder
  Push $0
  Push $1
  Push $2
  ; $1: the topmost folder that is missing, which the check will make.
  StrCpy $0 $INSTDIR
  StrCpy $1 ""
  ${DoWhile} $0 != ""
    ${If} ${FileExists} "$0\*.*"
      ${Break}
    ${EndIf}
    StrCpy $1 $0
    ${GetParent} $0 $0
  ${Loop}
  ; $2: 1 when the folder cannot be written (testing the error flag clears it).
  StrCpy $2 1
  ClearErrors
  CreateDirectory $INSTDIR
  ${IfNot} ${Errors}
    FileOpen $0 "$INSTDIR\~koral-write-check.tmp" w
    ${IfNot} ${Errors}
      FileClose $0
      Delete "$INSTDIR\~koral-write-check.tmp"
      StrCpy $2 0
    ${EndIf}
  ${EndIf}
  ${If} $1 != ""
    StrCpy $0 $INSTDIR
    ${Do}
      RMDir $0
      ${If} $0 == $1
        ${Break}
      ${EndIf}
      ${GetParent} $0 $0
    ${LoopUntil} $0 == ""
  ${EndIf}
  ClearErrors
  ${If} $2 == 1
    SetErrors
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function DirectoryLeave
  Call CheckFolder
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "${CANNOT_WRITE}"
    Abort
  ${EndIf}
  StrCpy $PageFolder $INSTDIR
FunctionEnd

Section "TouchScreen programs" SecPrograms
  SectionIn RO
  ; The folder the user chose on the page; without the page (a silent setup) the one asked for.
  ${If} $PageFolder != ""
    StrCpy $INSTDIR $PageFolder
  ${ElseIf} $AskedFolder != ""
    StrCpy $INSTDIR $AskedFolder
  ${EndIf}
  !insertmacro KoralLog "folder: $INSTDIR"
  Call CheckFolder
  ${If} ${Errors}
    !insertmacro KoralStop "${CANNOT_WRITE}"
  ${EndIf}
  ; The folder, and every folder above it, must be in administrators' hands; missing ones are
  ; made so (setup_helper.h, SecureInstallFolder).
  ExecWait '"$PLUGINSDIR\setup_helper.exe" secure-folder "$INSTDIR"' $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "${NOT_ADMIN_ONLY}" /SD IDOK
    Abort "${NOT_ADMIN_ONLY}"
  ${ElseIf} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "${CANNOT_WRITE}" /SD IDOK
    Abort "${CANNOT_WRITE}"
  ${EndIf}

  ; A program of an installation here that still runs would be left half replaced: the
  ; auxiliary programs are told to quit, and any other stops the setup before anything changes.
  StrCpy $1 '"$WINDIR\${KORAL_REMOVAL_COPY}"'
  !insertmacro KORAL_PROGRAMS KoralListFile
  ExecWait '"$PLUGINSDIR\setup_helper.exe" prepare-update "$INSTDIR" $1' $0
  ${If} $0 != 0
    !insertmacro KoralStop "${STILL_RUNNING}"
  ${EndIf}

  StrCpy $Copying 1
  SetOutPath $INSTDIR
  !insertmacro KORAL_PROGRAMS KoralInstallProgram
  !insertmacro KORAL_DATA_FILES KoralInstallData
  File "/oname=${KORAL_REMOVER}" "${REMOVER}"
  SetOutPath $WINDIR
  File "/oname=${KORAL_REMOVAL_COPY}" "${BIN}\KORALpde.exe"
  SetOutPath $INSTDIR
  !insertmacro KoralLog "files copied"

  ; An administrator's settings file replaces ours, and its settings replace those a user has:
  ; it was asked for. Without one, the settings a user already has stay: the setup finisher
  ; seeds only what the model key lacks.
  ${If} $IniGiven == 1
    ClearErrors
    CopyFiles /SILENT "$PLUGINSDIR\setup.ini" "$INSTDIR\setup.ini"
    ${If} ${Errors}
      !insertmacro KoralStop "The settings file cannot be copied to $INSTDIR\setup.ini."
    ${EndIf}
    !insertmacro KoralLog "setup.ini: the settings file given with /INI="
  ${ElseIf} $HadModelKey == 1
    ExecWait '"$PLUGINSDIR\setup_helper.exe" keep-settings "$INSTDIR\setup.ini"' $0
    ${If} $0 != 0
      DetailPrint "Some of the existing settings could not be kept (setup.ini stays as shipped)."
      !insertmacro KoralLog "some of the existing settings could not be kept (setup.ini stays as shipped)"
    ${Else}
      !insertmacro KoralLog "setup.ini: ours, without the settings this computer already has"
    ${EndIf}
  ${EndIf}

  WriteRegStr HKLM "${KORAL_MODEL_KEY}" "VenderName" "${KORAL_VENDOR}"
  WriteRegStr HKLM "${KORAL_MODEL_KEY}" "VenderStyle" "${KORAL_VENDER_STYLE}"
  WriteRegStr HKLM "${KORAL_MODEL_KEY}" "InstallPath" "$INSTDIR"
  WriteRegStr HKLM "${KORAL_MODEL_KEY}" "WindowsPath" "$WINDIR"
  WriteRegStr HKLM "${KORAL_MODEL_KEY}" "SystemPath" "$SYSDIR"
  WriteRegStr HKLM "${KORAL_MODEL_KEY}" "HardwareID" "${KORAL_HARDWARE_ID}"
  ; A standard user's control panel and startup program keep their values in the model key.
  ExecWait '"$PLUGINSDIR\setup_helper.exe" grant-users-write' $0
  ${If} $0 != 0
    DetailPrint "Standard users could not be given write access to the settings."
  ${EndIf}

  WriteRegStr HKLM "${KORAL_RUN_KEY}" "${KORAL_RUN_VALUE}" '"$INSTDIR\KORALpao.exe"'

  CreateDirectory "$SMPROGRAMS\${KORAL_MENU_FOLDER}"
  CreateShortcut "$SMPROGRAMS\${KORAL_MENU_FOLDER}\${KORAL_MENU_PANEL}" "$INSTDIR\KORALpcp.exe"
  CreateShortcut "$SMPROGRAMS\${KORAL_MENU_FOLDER}\${KORAL_MENU_REMOVAL}" "$WINDIR\${KORAL_REMOVAL_COPY}"

  ; Windows' list of installed programs runs the uninstaller's copy, which runs the file remover
  ; and then cleans the mouse registration and restarts.
  WriteRegStr HKLM "${KORAL_APPS_KEY}" "DisplayName" "${KORAL_PRODUCT} ${KORAL_VERSION}"
  WriteRegStr HKLM "${KORAL_APPS_KEY}" "DisplayVersion" "${KORAL_VERSION}"
  WriteRegStr HKLM "${KORAL_APPS_KEY}" "Publisher" "${KORAL_VENDOR}"
  WriteRegStr HKLM "${KORAL_APPS_KEY}" "DisplayIcon" "$INSTDIR\KORALpcp.exe"
  WriteRegStr HKLM "${KORAL_APPS_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KORAL_APPS_KEY}" "UninstallString" '"$WINDIR\${KORAL_REMOVAL_COPY}"'
  WriteRegDWORD HKLM "${KORAL_APPS_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KORAL_APPS_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${KORAL_APPS_KEY}" "EstimatedSize" $0
  !insertmacro KoralLog "profile, startup registration, Start menu and Apps entry written"
SectionEnd

Section /o "Substitute driver (trial)" SecDriver
  SetOutPath $INSTDIR
  File "/oname=${KORAL_DRIVER_IMAGE}" "${DRIVER}"
  ExecWait '"$PLUGINSDIR\setup_helper.exe" install-driver "$INSTDIR\${KORAL_DRIVER_IMAGE}"' $0
  !insertmacro KoralLog "substitute driver: setup_helper install-driver ended with $0"
  ${Switch} $0
    ${Case} 0
      DetailPrint "The substitute driver runs."
      ${Break}
    ${Case} 1
      DetailPrint "The substitute driver is installed; Windows starts it at its next start."
      ${Break}
    ${Case} 2
      MessageBox MB_OK|MB_ICONINFORMATION "A KORALPS2 driver is already installed on this computer; the substitute driver was not installed in its place." /SD IDOK
      Delete "$INSTDIR\${KORAL_DRIVER_IMAGE}"
      ${Break}
    ${Default}
      MessageBox MB_OK|MB_ICONEXCLAMATION "The substitute driver could not be installed." /SD IDOK
      Delete "$INSTDIR\${KORAL_DRIVER_IMAGE}"
  ${EndSwitch}
SectionEnd

; Last: the setup finisher, whose restart question ends the installation, unless /NORESTART
; leaves the restart to whoever runs the setup.
Section "-Finish"
  !insertmacro KoralLog "setup finisher started"
  ${If} $NoRestart == 1
    ; What the finisher would have shown in boxes comes back as lines, for the log.
    nsExec::ExecToStack '"$INSTDIR\KORALpdi.exe" /XPEFBASETUP /NORESTART'
    Pop $0
    Pop $1
    ${If} $1 != ""
      !insertmacro KoralLog "setup finisher said: $1"
    ${EndIf}
    ${If} $0 == 3010
      !insertmacro KoralLog "done; Windows must be restarted (exit code 3010)"
      SetErrorLevel 3010
    ${Else}
      !insertmacro KoralLog "the setup finisher could not finish (its exit code $0; exit code 1)"
      SetErrorLevel 1
    ${EndIf}
  ${ElseIf} ${Silent}
    !insertmacro KoralLog "done; the setup finisher restarts Windows"
    ExecWait '"$INSTDIR\KORALpdi.exe" /XPEFBASETUP'
  ${Else}
    !insertmacro KoralLog "done; the setup finisher restarts Windows"
    ExecWait '"$INSTDIR\KORALpdi.exe"'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPrograms} "The control panel, the startup program, the right-button tool, the setup finisher and the uninstaller."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDriver} "A driver that plays the touchscreen controller, to try the software on a computer without the hardware. Windows loads it only where test-signed drivers are allowed."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The problems of a refused settings file, from the helper's list: each into the log, the first
; few into the box.
Function ReportIniProblems
  StrCpy $R1 ""
  StrCpy $R2 0
  ClearErrors
  FileOpen $R0 "$PLUGINSDIR\ini-problems.txt" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $R0 $R3
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${TrimNewLines} $R3 $R3
      !insertmacro KoralLog "$R3"
      IntOp $R2 $R2 + 1
      ${If} $R2 <= 5
        StrCpy $R1 "$R1$R3$\r$\n"
      ${EndIf}
    ${Loop}
    FileClose $R0
  ${EndIf}
  ${If} $R2 > 5
    StrCpy $R1 "$R1... (all of them in $LogFile)$\r$\n"
  ${EndIf}
  !insertmacro KoralLog "stopped: the settings file was refused; nothing was installed"
  MessageBox MB_OK|MB_ICONSTOP "The settings file cannot be used:$\r$\n$\r$\n$R1$\r$\nNothing was installed." /SD IDOK
FunctionEnd

Function .onInit
  SetShellVarContext all
  SetRegView 64
  StrCpy $LogFile "$TEMP\TouchScreen-${KORAL_VERSION}-Setup.log"
  InitPluginsDir
  File "/oname=$PLUGINSDIR\setup_helper.exe" "${HELPER}"

  ${GetParameters} $R0
  !insertmacro KoralLog "${KORAL_PRODUCT} ${KORAL_VERSION} setup started: $R0"
  ; Where the setup was started: a relative /INI= file name means a file there. ("\." keeps a
  ; root folder's backslash from escaping the closing quote.)
  System::Call 'kernel32::GetCurrentDirectoryW(i ${NSIS_MAX_STRLEN}, t .R9) i'

  ; An administrator's settings file is checked before anything else happens; a refused one
  ; ends the setup here, with nothing changed.
  ExecWait '"$PLUGINSDIR\setup_helper.exe" stage-ini "$PLUGINSDIR\setup.ini" "$PLUGINSDIR\ini-problems.txt" "$R9\." $R0' $0
  ${If} $0 != 0
    Call ReportIniProblems
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $IniGiven 0
  ${If} ${FileExists} "$PLUGINSDIR\setup.ini"
    StrCpy $IniGiven 1
    !insertmacro KoralLog "the settings file given with /INI= passed its check"
  ${EndIf}

  StrCpy $NoRestart 0
  ClearErrors
  ${GetOptions} $R0 "/NORESTART" $R1
  ${IfNot} ${Errors}
  ${AndIf} ${Silent}
    StrCpy $NoRestart 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/TRIALDRIVER" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecDriver}
  ${EndIf}

  ; NSIS quietly replaces a /D= folder it finds unusable (under a file, on a missing drive) by
  ; the default one; the folder asked for is checked instead, and refused when it cannot be used.
  StrCpy $AskedFolder ""
  System::Call 'kernel32::GetCommandLineW() t .R2'
  StrLen $R3 $R2
  StrCpy $R4 0
  ${DoWhile} $R4 < $R3
    StrCpy $R5 $R2 4 $R4
    ${If} $R5 S== " /D="
      IntOp $R4 $R4 + 4
      StrCpy $AskedFolder $R2 "" $R4
      ${Break}
    ${EndIf}
    IntOp $R4 $R4 + 1
  ${Loop}

  StrCpy $PageFolder ""
  StrCpy $Copying 0
  StrCpy $HadModelKey 0
  ClearErrors
  EnumRegValue $R1 HKLM "${KORAL_MODEL_KEY}" 0
  ${IfNot} ${Errors}
  ${AndIf} $R1 != ""
    StrCpy $HadModelKey 1
  ${EndIf}
FunctionEnd

Function .onInstFailed
  !insertmacro KoralLog "the installation was stopped (exit code 2)"
  ; Nothing was copied (a refused folder keeps whatever it holds), or only over an existing
  ; installation, whose files they were: nothing is taken back then.
  ${If} $Copying != 1
    Return
  ${EndIf}
  ReadRegStr $R0 HKLM "${KORAL_APPS_KEY}" "InstallLocation"
  ${If} $HadModelKey == 1
  ${AndIf} $R0 == $INSTDIR
    Return
  ${EndIf}
  !insertmacro KORAL_PROGRAMS KoralTakeBack
  !insertmacro KORAL_DATA_FILES KoralTakeBack
  Delete "$INSTDIR\${KORAL_REMOVER}"
  RMDir "$INSTDIR"
  ${If} $HadModelKey == 0
    Delete "$WINDIR\${KORAL_REMOVAL_COPY}"
  ${EndIf}
FunctionEnd
