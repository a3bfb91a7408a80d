#!/bin/sh
# The installer under Wine, in a Wine prefix of its own: a silent install puts
# the programs in Program Files with a Start-menu entry and the file
# associations; the installed h33.exe answers as the command does on Linux
# (tests/golden/time-pocket); the installed window starts and keeps running;
# the silent uninstall leaves neither a file nor a registry key behind, and
# the user's PATH as it was.
#   installer_test.sh SETUP.EXE GOLDEN_DIR
set -eu
setup=$(readlink -f "$1")
golden=$(readlink -f "$2")
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/h33-installer-XXXXXX")
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
fail() {
  echo "installer_test: $*" >&2
  exit 1
}

wineboot --init >/dev/null 2>&1
wineserver --wait
find "$WINEPREFIX/drive_c" | sort >"$WINEPREFIX/files-before"

user_path() { wine reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | grep Path || true; }
wine reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\tools' /f >/dev/null 2>&1
wine "$setup" /S /PATH
wineserver --wait
user_path | grep -qF 'C:\tools;C:\Program Files\h33feed' || fail "h33.exe not on the user's PATH: $(user_path)"
folder="$WINEPREFIX/drive_c/Program Files/h33feed"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/h33feed.lnk"
for file in h33.exe h33feed.exe h33-plot.exe uninstall.exe README-windows.txt examples/pocket.up; do
  [ -f "$folder/$file" ] || fail "not installed: $file"
done
[ -f "$menu" ] || fail "no Start-menu entry"
wine reg query 'HKLM\Software\Classes\.up' /ve | grep -q h33feed.program || fail ".up is not opened by the window"
wine reg query 'HKLM\Software\Classes\h33feed.program\shell\open\command' /ve | grep -q 'h33feed.exe' ||
  fail "no command to open a program"

answer=$(cd "$folder/examples" && wine ../h33.exe time pocket.up | tr -d '\r')
[ "$answer" = "$(cat "$golden/time-pocket/stdout")" ] || fail "h33.exe time answers otherwise: $answer"

# The window runs until it is closed: one that cannot start ends at once. It
# has only the windows platform of a real Windows: shown on a virtual screen.
status=0
(cd "$folder" && xvfb-run -a timeout 10 wine h33feed.exe examples >/dev/null 2>&1) || status=$?
wineserver -k 2>/dev/null || true
[ "$status" = 124 ] || fail "the installed window ended with $status instead of running"

# Started as Windows starts it, by its Windows name.
wine 'C:\Program Files\h33feed\uninstall.exe' /S
wineserver --wait
# The uninstaller runs from a copy in the temporary folder, which Wine
# removes only at its next start: that folder is not the installation's. Nor
# are the caches of device descriptions (windows/inf/*.pnf) Wine writes
# itself when the window's start brings up input devices, some runs and not
# others.
wines_own() { grep -vi -e '/temp/' -e '/windows/inf/[^/]*\.pnf$'; }
find "$WINEPREFIX/drive_c" | sort | wines_own >"$WINEPREFIX/files-after"
wines_own <"$WINEPREFIX/files-before" | diff - "$WINEPREFIX/files-after" || fail "files left behind (above)"
[ "$(user_path | awk '{print $3}')" = 'C:\tools' ] || fail "the user's PATH not restored: $(user_path)"
for key in 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\h33feed' 'HKLM\Software\Classes\h33feed.program' \
  'HKLM\Software\Classes\.up' 'HKLM\Software\Classes\.ptp'; do
  if wine reg query "$key" >/dev/null 2>&1; then fail "registry key left behind: $key"; fi
done
echo "installer_test: installed, answered, started and removed"
