#!/usr/bin/env bash
# Screenshots of the window as a user sees it, on a virtual X server with a window manager: the
# three pages at the start size and maximised, a question box, the end of a run, the open
# dialog, the editor's context menu, a short message box, the menu, the question at the close,
# a start with a page, the changes view and what each pass saved after a run on a corpus page.
# The PNGs go to screenshots/ (not tracked). Usage: bash tools/screenshots.sh [build folder, default build]
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
out=$1 program=$2 korpusseite=${3:-}
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

# Windows other than the main window: a dialog or a message box, cut to its frame.
fenster() {
  local haupt=$win
  win=$1
  shot "$2"
  win=$haupt
}
neues_fenster() {
  local id
  for _ in $(seq 1 50); do
    id=$(xdotool search --onlyvisible --name "$1" | grep -vx "$win" | tail -1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  echo "no window $1" >&2
  xwininfo -root -tree | grep '"' >&2
  return 1
}
# The client area's place on the screen (xdotool's geometry counts the frame differently).
ecke() {
  eval "$(xwininfo -id "$win" | awk '/Absolute upper-left X/ {print "X=" $4} /Absolute upper-left Y/ {print "Y=" $4}')"
}
ecke
# A short message box ("Erneut laden", the second toolbar button, without a file): its caption
# must show whole.
xdotool mousemove $((X + 39)) $((Y + 35)) click 1
box=$(neues_fenster '^Brelkon Quintaro$')
fenster "$box" 12-kurze-meldung
xdotool key Return
sleep 0.5

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

# German throughout: the open dialog and the editor's context menu.
ecke
xdotool mousemove $((X + 15)) $((Y + 35)) click 1
# First the question about the changed text: Nein loads without saving.
frage=$(neues_fenster '^Brelkon Quintaro$')
xdotool key n
dialog=$(neues_fenster '^Öffnen$')
fenster "$dialog" 10-oeffnen-dialog
xdotool key Escape
sleep 0.5
xdotool mousemove $((X + 150)) $((Y + 120)) click 3
shot 11-kontextmenue
xdotool key Escape

# The menu through F10, with its access keys and shortcuts.
xdotool key F10
sleep 0.5
import -window root "$out/14-menue.png"
xdotool key Escape Escape

# Closing with the unsaved run result asks first; Nein closes.
xdotool key alt+F4
frage=$(neues_fenster '^Brelkon Quintaro$')
fenster "$frage" 15-frage-beim-schliessen
xdotool key n
wait "$app" || true

# A page named on the command line, as a file manager passes it.
printf '<html>\n<body>\n\t<p>Gr\xfc\xdfe  aus   K\xf6ln</p>\n</body>\n</html>\n' > seite.htm
"$program" "$PWD/seite.htm" >/dev/null 2>&1 &
app=$!
win=$(xdotool search --sync --onlyvisible --name '^Brelkon Quintaro$' | head -1)
shot 13-start-mit-seite
# The changes view after a normal run on that page, stepped to its first change.
xdotool key F7
sleep 0.5
xdotool key Escape
xdotool key F4
ansicht=$(neues_fenster '^Änderungen')
xdotool key alt+Down
fenster "$ansicht" 14-aenderungen
xdotool key Escape
sleep 0.3
xdotool key alt+F4
wait "$app" || true

# What each pass saved, after a normal run on a corpus page with comments and webbots removed.
if [ -n "$korpusseite" ] && [ -f "$korpusseite" ]; then
  mkdir -p "$XDG_CONFIG_HOME/quintaro"
  printf '[Optionen]\r\nKMA=1\r\nFPW=1\r\nNOA=0\r\n' > "$XDG_CONFIG_HOME/quintaro/quintaro_optionen.ini"
  cp "$korpusseite" "$PWD/$(basename "$korpusseite")"
  "$program" "$PWD/$(basename "$korpusseite")" >/dev/null 2>&1 &
  app=$!
  win=$(xdotool search --sync --onlyvisible --name '^Brelkon Quintaro$' | head -1)
  xdotool windowactivate --sync "$win"
  xdotool key F7
  shot 16-einsparungen
  xdotool key alt+F4
  frage=$(neues_fenster '^Brelkon Quintaro$')
  xdotool key n
  wait "$app" || true
fi
SESSION
export XDG_CONFIG_HOME="$scratch/config"  # the settings of whoever runs this stay out
korpus=${QUINTARO_KORPUS:-$root/../shared/corpus/real}
(cd "$scratch" && xvfb-run -a -s "-screen 0 1280x800x24" bash "$scratch/session.sh" "$root/screenshots" "$program" "$korpus/02-gyrobot-index.htm")
ls screenshots/*.png
