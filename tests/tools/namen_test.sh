#!/usr/bin/env bash
# tools/namen.sh on a copy of the tree: clean as it is; a capital-initial function that is not a
# name of the program's own units is named and fails it; listing it in CONTRIBUTING.md passes.
set -uo pipefail
kopie=$(mktemp -d)
trap 'rm -rf "$kopie"' EXIT
mkdir "$kopie/tools"
cp -r "${1:?the source folder}/src" "$1/CONTRIBUTING.md" "$kopie/"
cp "$1/tools/namen.sh" "$kopie/tools/"
fehler=0
pruefe() { # expected exit code, text the output must hold
  local ausgabe code
  ausgabe=$(bash "$kopie/tools/namen.sh" 2>&1)
  code=$?
  if [[ $code != "$1" || $ausgabe != *"$2"* ]]; then
    printf 'FAILED: exit %s, expected %s and "%s" in:\n%s\n' "$code" "$1" "$2" "$ausgabe"
    fehler=1
  fi
}
pruefe 0 ""
sed -i 's/^\(\s*\)void dateiOeffnen(/\1void DateiOeffnen(/' "$kopie/src/ui/tform1.h"
pruefe 1 "src/ui/tform1.h"
sed -i 's/^  - the document state: /&`DateiOeffnen`, /' "$kopie/CONTRIBUTING.md"
pruefe 0 ""
exit "$fehler"
