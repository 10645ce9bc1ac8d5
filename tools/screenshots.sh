#!/usr/bin/env bash
# Screenshots of the window as a user sees it, on a virtual X server with a window manager: the
# three pages at the start size and maximised, a question box and the end of a run. The PNGs go
# to screenshots/ (not tracked). Usage: bash tools/screenshots.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

source tools/pakete.sh
pakete_installieren xvfb xauth xdotool imagemagick openbox

build_dir=${1:-build}
program="$root/$build_dir/src/app/quintaro"
[ -x "$program" ] || bash tools/setup.sh release
mkdir -p screenshots

# The session inside the virtual display; the preview file of a run lands in a scratch folder.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat > "$scratch/session.sh" <<'SESSION'
set -euo pipefail
out=$1 program=$2
openbox >/dev/null 2>&1 &
sleep 1
"$program" >/dev/null 2>&1 &
app=$!
win=$(xdotool search --sync --onlyvisible --name '^Brelkon Quintaro$' | head -1)
xdotool windowactivate --sync "$win"
sleep 1
# The screen cut to the main window with its frame (a message box is a window of its own).
shot() {
  sleep 0.8
  # The frame that the window manager put around the window.
  local frame=$win parent
  while parent=$(xwininfo -children -id "$frame" | awk '/Parent window id:/ {print $4}') &&
        [ "$(xwininfo -children -id "$parent" | awk '/Parent window id:/ {print $4}')" != "" ] &&
        ! xwininfo -id "$parent" | grep -q "(the root window)"; do
    frame=$parent
  done
  eval "$(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {print "X=" $4} /Absolute upper-left Y/ {print "Y=" $4} /Width:/ {print "W=" $2} /Height:/ {print "H=" $2}')"
  import -window root -crop "${W}x${H}+${X}+${Y}" +repage "$out/$1.png"
}

# A small page typed into the editor, then the three pages.
eval "$(xdotool getwindowgeometry --shell "$win")"
xdotool mousemove $((X + 120)) $((Y + 160)) click 1
while IFS= read -r zeile; do
  xdotool type --delay 3 -- "$zeile"
  xdotool key Return
done <<'PAGE'
<html>
<head><title>Vereinsseite</title></head>
<body>
	<!-- Kopfbereich -->
	<h1>Willkommen  beim   Kegelverein</h1>
	<p>Treffen  vom   Verein: ab 18 Uhr, 5 €</p>
	<img src="bahn.jpg">
</body>
</html>
PAGE
xdotool key ctrl+Home
shot 01-quelltext
xdotool key F3
shot 02-optionen
xdotool key F9
shot 03-dateiliste

# A step-by-step run: its first question, answered with Escape (Abbrechen).
xdotool key F2 F8
shot 04-frage
xdotool key Escape

# Maximised.
xdotool key F11
shot 05-quelltext-maximiert
xdotool key F3
shot 06-optionen-maximiert
xdotool key F9
shot 07-dateiliste-maximiert
xdotool key F11 F2

# A normal run: the offer to show the result, then the optimised text and its size.
xdotool key F7
shot 08-anzeige-anbieten
xdotool key Escape
shot 09-nach-lauf

xdotool key alt+F4
wait "$app" || true
SESSION
(cd "$scratch" && xvfb-run -a -s "-screen 0 1280x800x24" bash "$scratch/session.sh" "$root/screenshots" "$program")
ls screenshots/*.png
