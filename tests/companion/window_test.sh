#!/usr/bin/env bash
# The settings program's real window under wine, on an X display of its own:
# starts the program (through the plug-in when it is built), checks the window
# with window_probe.exe, keeps screenshots, saves a prefix through the window
# and follows it into the settings file and the plug-in's descriptor.
#
# Usage: window_test.sh WINE_RUN FOLDER COMPANION_EXE PROBE_EXE ARTIFACTS [PLUGIN]
# Exits 77 (skipped) only when Xvfb is not installed.
set -euo pipefail
wine_run=$1 folder=$2 companion=$3 probe=$4 artifacts=$5 plugin=${6:-}

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed (scripts/install-deps installs it): skipped"
  exit 77
fi

run="$folder/run"
rm -rf "$run"
mkdir -p "$run" "$artifacts"
cp "$companion" "$run/"
cp "$probe" "$run/window_probe.exe"
[ -z "$plugin" ] || cp "$plugin" "$run/Orvanta.cqp"

# A wine prefix of this test's own: the shared one may already have a desktop
# process bound to no display by the console tests.
export WINEPREFIX="$folder/wineprefix"
xvfb_pid=""
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
}
trap cleanup EXIT

# Xvfb picks a free display number itself and writes it to descriptor 3.
rm -f "$folder/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 200); do
  [ -s "$folder/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$folder/xvfb.log"; exit 1; }
  sleep 0.1
done
[ -s "$folder/display" ] || { echo "Xvfb gave no display number"; exit 1; }
export DISPLAY=":$(head -n1 "$folder/display")"

# The probe writes to a file, not a pipe: the program it starts inherits the
# descriptor and keeps running, so a pipe would never see its end.
probe() {
  local out=$1; shift
  local status=0
  "$wine_run" "$run/window_probe.exe" "$@" >"$out.raw" 2>/dev/null || status=$?
  tr -d '\r' <"$out.raw" >"$out"
  cat "$out"
  return $status
}

# Without a window manager, wine draws the frames itself only for windows it
# does not hand to one; this makes the screenshots show the title bar.
if [ ! -f "$WINEPREFIX/.unmanaged" ]; then
  "$wine_run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.unmanaged"
fi
# Debian's wine does not look in its own font folder; the caption buttons need
# its Marlett font, the Chinese texts a font with those characters (WenQuanYi).
fonts="$WINEPREFIX/drive_c/windows/Fonts"
for font in /usr/share/wine/fonts/*.ttf; do
  if [ -e "$font" ] && [ ! -e "$fonts/$(basename "$font")" ]; then cp "$font" "$fonts/"; fi
done

start=start
[ -z "$plugin" ] || start=start-by-plugin
probe "$folder/layout.txt" prepare "$start" layout

read -r x y w h < <(sed -n 's/^window //p' "$folder/layout.txt")
sleep 1  # let the frame and the controls finish painting
import -window root "$artifacts/companion-screen.png"
import -window root -crop "${w}x${h}+${x}+${y}" +repage "$artifacts/companion-window.png"
echo "screenshots: $artifacts/companion-window.png, $artifacts/companion-screen.png"

steps=(save tick tray close)
[ -z "$plugin" ] || steps=(save descriptor tick tray close restart-by-plugin)
probe "$folder/steps.txt" "${steps[@]}"
