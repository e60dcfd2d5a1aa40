; The installation's file remover, "unins000.exe" in the installation folder. The uninstaller
; starts it as `"<folder>\unins000.exe" /SILENT` and waits for this very process, so it does
; all its work here and ends only when done (no copy of itself elsewhere). It removes what the
; setup put there and nothing else: the setup's files (a file the user added stays, and the
; folder with it), the uninstaller's copy in the Windows folder, the substitute driver when the
; setup installed it, the Start-menu entries, the startup registration, the entry of Windows'
; list of installed programs and the model key. Files still in use, itself among them, go at
; the next start of Windows. Running it again changes nothing more. A substitute driver that
; cannot be removed stops it before anything else goes, with exit code 2, so that the uninstaller
; waiting for it leaves the installation whole and says so; otherwise it ends with 0.
;
;   unins000.exe /SILENT     removes without asking
;   unins000.exe             asks first
;
; Defines given by the build: OUT, SRC, GEN, HELPER, ICON (see setup.nsi).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
SilentInstall silent

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "${SRC}\files.nsh"

Name "${KORAL_PRODUCT} ${KORAL_VERSION}"
Caption "${KORAL_PRODUCT} Removal"
OutFile "${OUT}"
Icon "${ICON}"

VIProductVersion "7.2.0.0"
VIAddVersionKey "ProductName" "${KORAL_PRODUCT}"
VIAddVersionKey "CompanyName" "${KORAL_VENDOR}"
VIAddVersionKey "FileDescription" "${KORAL_PRODUCT} File Remover"
VIAddVersionKey "FileVersion" "${KORAL_VERSION}"
VIAddVersionKey "ProductVersion" "${KORAL_VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (c) ${KORAL_VENDOR}"

!macro KoralRemoveFile NAME
  Delete /REBOOTOK "$EXEDIR\${NAME}"
!macroend

Var Asked

Function .onInit
  StrCpy $Asked 0
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SILENT" $R1
  ${If} ${Errors}
    StrCpy $Asked 1
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove the files of ${KORAL_PRODUCT} ${KORAL_VERSION} from this computer?$\r$\n$\r$\nTo remove the touchscreen software completely, use TouchScreen Software Removal instead." IDYES +2
    Abort
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext all
  SetRegView 64

  InitPluginsDir
  File "/oname=$PLUGINSDIR\setup_helper.exe" "${HELPER}"
  ClearErrors
  ExecWait '"$PLUGINSDIR\setup_helper.exe" remove-driver "$EXEDIR\${KORAL_DRIVER_IMAGE}"' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    ${If} $Asked == 1
      MessageBox MB_OK|MB_ICONSTOP "The TouchScreen driver could not be removed. Nothing was removed."
    ${EndIf}
    SetErrorLevel 2
    Quit
  ${EndIf}
  Delete /REBOOTOK "$EXEDIR\${KORAL_DRIVER_IMAGE}"

  !insertmacro KORAL_PROGRAMS KoralRemoveFile
  !insertmacro KORAL_DATA_FILES KoralRemoveFile
  Delete /REBOOTOK "$EXEDIR\${KORAL_REMOVER}"
  ; The folder still holds the remover now: it goes at the next start, if empty by then (a file
  ; the user put there keeps it).
  RMDir /REBOOTOK "$EXEDIR"
  Delete /REBOOTOK "$WINDIR\${KORAL_REMOVAL_COPY}"

  Delete "$SMPROGRAMS\${KORAL_MENU_FOLDER}\${KORAL_MENU_PANEL}"
  Delete "$SMPROGRAMS\${KORAL_MENU_FOLDER}\${KORAL_MENU_REMOVAL}"
  RMDir "$SMPROGRAMS\${KORAL_MENU_FOLDER}"

  DeleteRegValue HKLM "${KORAL_RUN_KEY}" "${KORAL_RUN_VALUE}"
  DeleteRegKey HKLM "${KORAL_MODEL_KEY}"
  DeleteRegKey /ifempty HKLM "${KORAL_PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "${KORAL_VENDOR_KEY}"
  DeleteRegKey HKLM "${KORAL_APPS_KEY}"
SectionEnd
