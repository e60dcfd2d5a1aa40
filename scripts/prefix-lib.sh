# Shared steps for preparing a Wine prefix for the suite (sourced; WINEPREFIX must be set).

# Starts this prefix's server and keeps it alive between processes, so that the driver stays
# loaded, then boots the prefix (creating it the first time). The server must be persistent
# before the first boot: a server that is still shutting down after a non-persistent boot
# loses what services.exe is told in that moment. Output goes elsewhere: anything the
# server inherits would keep pipes open.
start_server() {
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot -i </dev/null >/dev/null 2>&1
  else
    wine wineboot </dev/null >/dev/null 2>&1
  fi
}

# display: "headless" uses Wine's null display driver; "x11" the X display.
prepare_prefix() {
  local display="$1"
  start_server
  if [ "$display" = headless ]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  else
    wine reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  fi
  # Start-menu entries made in the prefix (the setup program's) stay there: no menu entries
  # or desktop files of the host's.
  wine reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d '' /f >/dev/null 2>&1
  install_fonts
}

# The forms name MS Sans Serif, Times New Roman and Arial: give the prefix Wine's own fonts
# and map the rest onto the Liberation families.
install_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$fonts/.koral-fonts" ]; then
    cp -n /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
    touch "$fonts/.koral-fonts"
  fi
  local key='HKCU\Software\Wine\Fonts\Replacements'
  wine reg add "$key" /v "Arial" /d "Liberation Sans" /f >/dev/null 2>&1
  wine reg add "$key" /v "Times New Roman" /d "Liberation Serif" /f >/dev/null 2>&1
  wine reg add "$key" /v "Courier New" /d "Liberation Mono" /f >/dev/null 2>&1
}

# Installs the substitute driver as an automatically started kernel service and starts it.
# In a prefix booted moments ago, Wine may refuse to start a service created during the
# same server's life (1060); a cold server start then starts it, being automatic.
install_driver() {
  local build="$1"
  wine "$build/tools/korctl.exe" install "$(winepath -w "$build/driver/KORALPS2.sys")" </dev/null
  if ! wine "$build/tools/korctl.exe" start </dev/null 2>/dev/null; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    start_server
    wine "$build/tools/korctl.exe" start </dev/null
  fi
}

# Stops this prefix's server, if it runs, and waits until it has written its registry.
stop_server() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
}

# Starts the program that holds this prefix's desktop open between test programs (see
# tests/support/desktop_keeper.cpp); it ends with the prefix's server.
start_desktop_keeper() {
  local build="$1"
  [ -f "$build/tools/desktop_keeper.exe" ] || return 0
  wine "$build/tools/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
  disown
}
