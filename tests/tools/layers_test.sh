#!/usr/bin/env bash
# tools/layers.sh on a copy of the tree: clean as it is; a forbidden include or link, planted,
# makes it fail and is named; the table of CONTRIBUTING.md decides, so allowing the planted use
# there makes it pass again, and a name the table cannot mean is refused.
set -uo pipefail
quelle=${1:?the source folder}
kopie=$(mktemp -d)
trap 'rm -rf "$kopie"' EXIT
mkdir -p "$kopie/tools"
cp -r "$quelle/src" "$quelle/CONTRIBUTING.md" "$kopie/"
cp "$quelle/tools/layers.sh" "$kopie/tools/"

fehler=0
pruefe() { # name, expected exit code, text the output must hold
  local ausgabe code
  ausgabe=$(bash "$kopie/tools/layers.sh" 2>&1)
  code=$?
  if [[ $code != "$2" || $ausgabe != *"$3"* ]]; then
    echo "FAILED $1: exit $code, expected $2 and '$3' in:"
    echo "$ausgabe"
    fehler=1
  else
    echo "ok $1"
  fi
}
zeile() { # file, line to put first
  sed -i "1i $2" "$kopie/$1"
}
tabelle() { # module, its new last column
  sed -i -E "s#^(\\| \`src/$1\` \\|[^|]*\\|[^|]*\\|).*#\\1 $2 |#" "$kopie/CONTRIBUTING.md"
}

pruefe "the tree as it is" 0 "layers: clean"
zeile src/document/dokument.cpp '#include "settings/ini.h"'
pruefe "document includes settings" 1 "src/document/dokument.cpp:1: #include settings/ini.h"
zeile src/engine/text.h ' #  include <QString>'
pruefe "the engine includes Qt" 1 "src/engine/text.h:1: #include QString (engine may not use QtCore)"
zeile src/cli/kanaele.cpp '#include <QWidget>'
pruefe "cli includes Widgets" 1 "src/cli/kanaele.cpp:1: #include QWidget (cli may not use QtWidgets)"
sed -i 's/PUBLIC quintaro_engine/PUBLIC quintaro_engine quintaro_batch/' \
  "$kopie/src/document/CMakeLists.txt"
pruefe "document links batch" 1 "links quintaro_batch (document may not use batch)"
tabelle engine "QtCore"
tabelle cli "engine, document, settings, batch, QtCore, QtWidgets"
tabelle document "engine, settings, batch, QtCore"
pruefe "the table allows all of it" 0 "layers: clean"
tabelle document "engine, setings"
pruefe "a name the table cannot mean" 2 "'setings'"
exit "$fehler"
