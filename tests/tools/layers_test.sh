#!/usr/bin/env bash
# tools/layers.sh on a copy of the tree: clean as it is; each forbidden include or link planted
# makes it fail and is named; allowing them all in CONTRIBUTING.md's table makes it pass again,
# and a name the table cannot mean is refused.
set -uo pipefail
source "$(dirname "$0")/kopie.sh"
kopieAnlegen "${1:?the source folder}" layers.sh
tabelle() { # module, its new last column
  sed -i -E "s#^(\\| \`src/$1\` \\|[^|]*\\|[^|]*\\|).*#\\1 $2 |#" "$kopie/CONTRIBUTING.md"
}

pruefe 0 "layers: clean"
sed -i '1i #include "settings/ini.h"' "$kopie/src/document/dokument.cpp"
pruefe 1 "src/document/dokument.cpp:1: #include settings/ini.h (document may not use settings)"
sed -i '1i  #  include <QString>' "$kopie/src/engine/text.h"
pruefe 1 "src/engine/text.h:1: #include QString (engine may not use QtCore)"
sed -i '1i #include <QWidget>' "$kopie/src/cli/kanaele.cpp"
pruefe 1 "src/cli/kanaele.cpp:1: #include QWidget (cli may not use QtWidgets)"
sed -i 's/PUBLIC quintaro_engine/& quintaro_batch/' "$kopie/src/document/CMakeLists.txt"
pruefe 1 "links quintaro_batch (document may not use batch)"
tabelle engine "QtCore"
tabelle cli "engine, document, settings, batch, QtCore, QtWidgets"
tabelle document "engine, settings, batch, QtCore"
pruefe 0 "layers: clean"
tabelle document "engine, setings"
pruefe 2 "'setings'"
exit "$fehler"
