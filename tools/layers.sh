#!/usr/bin/env bash
# Checks the layering against the table "Layers" of CONTRIBUTING.md, which is the one place that
# says what each module may use: every #include of a source file in src/MODULE and every library
# that src/MODULE/CMakeLists.txt links must be the module itself or a name in its row. Names are
# modules (the table's folders without src/) and Qt parts (QtCore, QtGui, QtWidgets, QScintilla).
# Prints each offending line and exits 1 when there is one; exits 2 when the table is unreadable.
set -euo pipefail
cd "$(dirname "$0")/.."

qt_root=$(find /usr/include -maxdepth 3 -type d -name QtCore -path '*qt6*' -printf '%h\n' | head -n 1)

declare -A erlaubt=() ziel_modul=()
module=()
while IFS='|' read -r _ ordner ziele _ darf _; do
  modul=$(tr -d '` ' <<< "$ordner")
  modul=${modul#src/}
  module+=("$modul")
  for ziel in $(tr -d '`,' <<< "$ziele"); do ziel_modul[$ziel]=$modul; done
  namen=" "
  for name in $(tr -d '`,' <<< "$darf"); do
    [[ $name == "–" || $name == "-" ]] && continue
    namen+="$name "
  done
  erlaubt[$modul]=$namen
done < <(grep -E '^\| `src/[a-z]+` \|' CONTRIBUTING.md)
if ((${#module[@]} == 0)); then
  echo "layers: no table of layers in CONTRIBUTING.md" >&2
  exit 2
fi

# The Qt parts, and the part that ships a header, by its name (QString -> QtCore).
declare -A qt_teil=() qt_teile=([QScintilla]=1)
if [[ -n $qt_root ]]; then
  for teil in "$qt_root"/Qt*/; do
    teil=$(basename "$teil")
    qt_teile[$teil]=1
    while read -r kopf; do
      [[ -z ${qt_teil[$kopf]+x} ]] && qt_teil[$kopf]=$teil
    done < <(find "$qt_root/$teil" -maxdepth 1 -type f -name 'Q*' ! -name '*.h' -printf '%f\n')
  done
fi

for modul in "${module[@]}"; do
  for name in ${erlaubt[$modul]}; do
    if [[ -z ${erlaubt[$name]+x} && -z ${qt_teile[$name]+x} ]] &&
      ! [[ -z $qt_root && $name =~ ^Qt[A-Z] ]]; then
      echo "layers: CONTRIBUTING.md lets $modul use '$name', which is neither a module nor a Qt part" >&2
      exit 2
    fi
  done
done

status=0
verstoss() { # where, what, module, name
  echo "$1: $2 ($3 may not use $4)"
  status=1
}
darf() { # module, name
  [[ $2 == "$1" || ${erlaubt[$1]} == *" $2 "* ]]
}

for modul in "${module[@]}"; do
  [[ -d src/$modul ]] || continue
  # Includes: "module/..." of ours, <Qsci/...>, <QtPart/...> and Qt's class headers.
  muster='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]([^>"]+)'
  while IFS=: read -r pfad nr text; do
    [[ $text =~ $muster ]] || continue
    datei=${BASH_REMATCH[1]}
    name=
    case $datei in
      Qsci/*) name=QScintilla ;;
      Qt*/*) name=${datei%%/*} ;;
      */*) [[ -n ${erlaubt[${datei%%/*}]+x} ]] && name=${datei%%/*} ;;
      Q*) name=${qt_teil[$datei]:-} ;;
    esac
    if [[ -n $name ]] && ! darf "$modul" "$name"; then
      verstoss "$pfad:$nr" "#include $datei" "$modul" "$name"
    fi
  done < <(grep -rnE --include='*.cpp' --include='*.h' '^\s*#\s*include\s*[<"]' "src/$modul" || true)

  # Links: the arguments of every target_link_libraries() of the module's CMakeLists.txt, after
  # the target itself.
  liste=src/$modul/CMakeLists.txt
  [[ -f $liste ]] || continue
  while read -r zeile ziel; do
    case $ziel in
      Qt6::*) name=Qt${ziel#Qt6::} ;;
      *[Qq][Ss][Cc][Ii][Nn][Tt][Ii][Ll][Ll][Aa]*) name=QScintilla ;;
      *) name=${ziel_modul[$ziel]:-} ;;
    esac
    if [[ -n $name ]] && ! darf "$modul" "$name"; then
      verstoss "$liste:$zeile" "links $ziel" "$modul" "$name"
    fi
  done < <(awk '
    /target_link_libraries\(/ { drin = 1; erstes = 1; sub(/.*target_link_libraries\(/, "") }
    drin {
      rest = $0
      ende = index(rest, ")")
      if (ende) rest = substr(rest, 1, ende - 1)
      n = split(rest, teile, /[ \t]+/)
      for (i = 1; i <= n; i++) {
        if (teile[i] == "") continue
        if (erstes) { erstes = 0; continue }
        print NR, teile[i]
      }
      if (ende) drin = 0
    }' "$liste")
done

if ((status)); then
  echo "layers: the lines above cross a layer (table \"Layers\" in CONTRIBUTING.md)" >&2
else
  echo "layers: clean"
fi
exit "$status"
