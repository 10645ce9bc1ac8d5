#!/usr/bin/env bash
# Builds the Debian package with CPack and checks it: control data and file list, the desktop
# entry and the AppStream metainfo, lintian, then installs it with apt-get and starts the
# installed programs (the window under a virtual X server). Needs root and a few minutes; not part
# of tools/test.sh.
#
#   bash tools/paket.sh [PRESET] [--chroot DIR] [--trocken]
#
# PRESET names a configure preset of CMakePresets.json or its build folder (default: paket, in
# build-paket/, which builds with Debian's hardening flags; any other preset gets them too, in its
# own cache). --chroot DIR installs in a throw-away Debian 12 root made by debootstrap in DIR
# (removed at the end) instead of on this machine. --trocken only says what would be built.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

nutzung() {
  echo "usage: bash tools/paket.sh [PRESET|BUILD FOLDER] [--chroot DIR] [--trocken]" >&2
  exit 2
}

angabe=paket
wurzel=
trocken=
while (($#)); do
  case $1 in
    --chroot) (($# >= 2)) && [[ $2 != -* ]] || nutzung; wurzel=$2; shift 2 ;;
    --trocken) trocken=1; shift ;;
    -*) nutzung ;;
    *) angabe=$1; shift ;;
  esac
done

# The preset of a name or a build folder ("build" is the release preset's), and its folder.
preset=
read -r preset build_dir < <(/usr/bin/python3 - "$angabe" <<'PY'

import json, sys
angabe = sys.argv[1].rstrip("/")
for p in json.load(open("CMakePresets.json"))["configurePresets"]:
    ordner = p.get("binaryDir", "").replace("${sourceDir}/", "")
    if angabe in (p["name"], ordner):
        print(p["name"], ordner)
PY
) || true
if [ -z "${preset:-}" ] || ! cmake --list-presets | grep -q "^  \"$preset\""; then
  echo "no configure preset or build folder \"$angabe\"" >&2
  nutzung
fi
if [ -n "$trocken" ]; then
  echo "preset=$preset folder=$build_dir chroot=${wurzel:--}"
  exit 0
fi

# The package names whoever builds it (packaging/CMakeLists.txt). Without any identity that is
# login@host, which lintian rejects for root or a host without a domain: say so before the build.
if [ -z "${DEBEMAIL:-}${EMAIL:-}" ] && [ -z "$(git config user.email 2>/dev/null)" ]; then
  echo "note: no DEBEMAIL, EMAIL or git user.email; the package will name $(id -un)@$(hostname)," \
    "which lintian may reject: set DEBFULLNAME and DEBEMAIL" >&2
fi

source tools/pakete.sh
pakete_installieren dpkg-dev desktop-file-utils appstream lintian xvfb xauth x11-utils \
  ${wurzel:+debootstrap}

schritt() { printf '\n== %s\n' "$*"; }
fehler() { echo "FEHLER: $*" >&2; exit 1; }

schritt "Build and package (preset $preset, $build_dir)"
bash tools/setup.sh "$preset" -DQUINTARO_DEBIAN_FLAGS=ON > /dev/null
(cd "$build_dir" && rm -f quintaro_*.deb && cpack -G DEB > /dev/null)
deb=$(ls "$root/$build_dir"/quintaro_*.deb)
echo "$deb"

schritt "Control data (dpkg-deb -I)"
dpkg-deb -I "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for paket in libqt6widgets6 libqscintilla2-qt6-15 libstdc++6 libqt6svg6 qt6-translations-l10n \
             libqscintilla2-qt6-l10n; do
  [[ $depends == *"$paket"* ]] || fehler "Depends lacks $paket: $depends"
done

schritt "Files (dpkg-deb -c)"
dpkg-deb -c "$deb"
liste=$(dpkg-deb -c "$deb" | awk '{print $6}')
for datei in ./usr/bin/quintaro ./usr/bin/quintaro-cli \
             ./usr/share/applications/com.brelkon.Quintaro.desktop \
             ./usr/share/icons/hicolor/scalable/apps/quintaro.svg \
             ./usr/share/metainfo/com.brelkon.Quintaro.metainfo.xml \
             ./usr/share/man/man1/quintaro.1.gz ./usr/share/man/man1/quintaro-cli.1.gz \
             ./usr/share/bash-completion/completions/quintaro-cli; do
  grep -qxF "$datei" <<< "$liste" || fehler "missing from the package: $datei"
done

schritt "Desktop entry and metainfo"
auspacken=$(mktemp -d)
trap 'rm -rf "$auspacken"' EXIT
dpkg-deb -x "$deb" "$auspacken"
desktop-file-validate "$auspacken/usr/share/applications/com.brelkon.Quintaro.desktop"
echo "desktop-file-validate: ok"
appstreamcli validate --no-net "$auspacken/usr/share/metainfo/com.brelkon.Quintaro.metainfo.xml"
schritt "lintian"
# The one tag left is a false alarm: lintian's English spelling list takes the German "Dateien"
# in the description for a misspelling.
lintian --info --display-info "$deb" | tee "$auspacken/lintian.txt" || true
if grep -E "^[EW]: " "$auspacken/lintian.txt" | grep -v "spelling-error-in-description" | grep -q .; then
  fehler "lintian reports errors or warnings"
fi
for seite in quintaro quintaro-cli; do
  man -l "$auspacken/usr/share/man/man1/$seite.1.gz" 2>&1 > /dev/null | grep . &&
    fehler "man page $seite has warnings"
done
echo "man pages: ok"

# Runs in the target system (this machine or the throw-away root): installs the package, checks
# the command-line program on a page, and starts the window with a page under Xvfb until it shows.
cat > "$auspacken/pruefen.sh" <<'PRUEFEN'
set -euo pipefail
deb=$1
export DEBIAN_FRONTEND=noninteractive
apt-get install -y -q -o DPkg::Lock::Timeout=600 "$deb" xvfb xauth x11-utils > /tmp/quintaro-apt.log ||
  { tail -30 /tmp/quintaro-apt.log; exit 1; }
echo "apt-get set up $(grep -c '^Setting up' /tmp/quintaro-apt.log) packages"
grep '^Setting up quintaro ' /tmp/quintaro-apt.log
command -v quintaro quintaro-cli
seite=$(mktemp -d)/seite.htm
printf '<html>\n<body>\n\t<p>Gr\xfc\xdfe  aus   K\xf6ln</p>\n<!-- weg -->\n</body>\n</html>\n' > "$seite"
ergebnis=$(quintaro-cli --set KMA=1 < "$seite")
echo "quintaro-cli: $ergebnis"
# The defaults: whitespace and the comment go, umlauts become entities, and ATK leaves out the
# tags the parser implies.
[ "$ergebnis" = '<p>Gr&uuml;&szlig;e aus K&ouml;ln' ] ||
  { echo "unexpected output"; exit 1; }
quintaro-cli --help | grep -q XDG_CONFIG_HOME
quintaro --help | grep -q PAGE
quintaro --version | grep -q "^quintaro [0-9]"
if command -v man > /dev/null; then man -w quintaro quintaro-cli; fi
test -f /usr/share/bash-completion/completions/quintaro-cli
# The window, as a desktop starts it, with the page given; it must come up and stay up.
export HOME=$(mktemp -d)
cat > "$HOME/sitzung.sh" <<SITZUNG
/usr/bin/quintaro "$seite" > "$HOME/quintaro.log" 2>&1 &
app=\$!
for i in \$(seq 1 100); do
  xwininfo -root -tree | grep -q '"Brelkon Quintaro' && break
  sleep 0.2
done
xwininfo -root -tree | grep '"Brelkon Quintaro' || { echo "no window"; cat "$HOME/quintaro.log"; exit 1; }
sleep 1
kill -0 \$app || { echo "quintaro ended"; cat "$HOME/quintaro.log"; exit 1; }
kill \$app
wait \$app || true
SITZUNG
xvfb-run -a -s "-screen 0 1024x768x24" bash "$HOME/sitzung.sh"
echo "window came up and stayed up"
[ ! -e "$HOME/.config/quintaro" ] || { echo "settings folder made without a save"; exit 1; }
PRUEFEN

if [ -z "$wurzel" ]; then
  schritt "Install on this machine"
  if dpkg-query -W -f='${Status}' quintaro 2>/dev/null | grep -q "ok installed"; then
    fehler "a quintaro package is installed already; remove it first"
  fi
  cp "$deb" "$auspacken/"
  trap 'apt-get remove -y -q -o DPkg::Lock::Timeout=600 quintaro > /dev/null 2>&1 || true; rm -rf "$auspacken"' EXIT
  bash "$auspacken/pruefen.sh" "$auspacken/$(basename "$deb")"
  schritt "Remove again"
  apt-get remove -y -q -o DPkg::Lock::Timeout=600 quintaro | grep -E "^Removing" || true
  [ ! -e /usr/bin/quintaro ] || fehler "/usr/bin/quintaro is still there"
else
  schritt "Install in a throw-away Debian 12 root ($wurzel)"
  [ ! -e "$wurzel" ] || fehler "$wurzel exists; give a new folder"
  spiegel=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null ||
            true)
  debootstrap --variant=minbase bookworm "$wurzel" "${spiegel:-http://deb.debian.org/debian}" \
    > "$auspacken/debootstrap.log" || { tail -20 "$auspacken/debootstrap.log"; exit 1; }
  trap 'umount "$wurzel/proc" 2>/dev/null || true; rm -rf "$wurzel" "$auspacken"' EXIT
  mount -t proc proc "$wurzel/proc"
  cp /etc/resolv.conf "$wurzel/etc/resolv.conf"
  cp "$deb" "$auspacken/pruefen.sh" "$wurzel/tmp/"
  chroot "$wurzel" apt-get update -q > /dev/null
  chroot "$wurzel" bash /tmp/pruefen.sh "/tmp/$(basename "$deb")"
fi
schritt "Package checked"
