; What the setup puts where, shared by the setup program (which puts it there) and the file
; remover (which takes exactly that away again). Defines given by the build: GEN (the build's
; folder of this package), where programs.nsh lists the suite's programs present in the build.

!include "${GEN}\programs.nsh"

!define KORAL_PRODUCT "TouchScreen KR-PS2"
!define KORAL_VERSION "7.2"
!define KORAL_VENDOR "Brimholt"

; The model key and the profile values the setup writes into it.
!define KORAL_MODEL_KEY "SOFTWARE\Brimholt\TouchScreen\KR-PS2"
!define KORAL_VENDOR_KEY "SOFTWARE\Brimholt"
!define KORAL_PRODUCT_KEY "SOFTWARE\Brimholt\TouchScreen"
!define KORAL_HARDWARE_ID "*PNP0F13"
!define KORAL_VENDER_STYLE "11201209"

; The startup program runs at every start for every user.
!define KORAL_RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define KORAL_RUN_VALUE "KORALpao"
; The entry of Windows' list of installed programs.
!define KORAL_APPS_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TouchScreen KR-PS2"
; The Start-menu folder (all users) and its entries.
!define KORAL_MENU_FOLDER "TouchScreen"
!define KORAL_MENU_PANEL "TouchScreen Control Panel.lnk"
!define KORAL_MENU_REMOVAL "TouchScreen Software Removal.lnk"

; The uninstaller's copy in the Windows folder, from which it runs so that it is not among the
; files it removes.
!define KORAL_REMOVAL_COPY "KORALpde.exe"
; The file remover in the installation folder.
!define KORAL_REMOVER "unins000.exe"
; The substitute driver's image in the installation folder (optional component).
!define KORAL_DRIVER_IMAGE "KORALPS2.sys"

; The files beside the programs: our default settings and vendor title, the support picture and
; the licence. DO is a macro taking the file name.
!macro KORAL_DATA_FILES DO
  !insertmacro ${DO} "setup.ini"
  !insertmacro ${DO} "setup.oem"
  !insertmacro ${DO} "KRVender.Bmp"
  !insertmacro ${DO} "Licence.txt"
!macroend
