#!/usr/bin/env bash
# tools/namen.sh on a copy of the tree: clean as it is; a capital-initial function that is not a
# name of the program's own units is named and fails it; listing it in CONTRIBUTING.md passes.
set -uo pipefail
source "$(dirname "$0")/kopie.sh"
kopieAnlegen "${1:?the source folder}" namen.sh
pruefe 0 ""
sed -i 's/^\(\s*\)void dateiOeffnen(/\1void DateiOeffnen(/' "$kopie/src/ui/tform1.h"
pruefe 1 "src/ui/tform1.h"
sed -i 's/^  - the document state: /&`DateiOeffnen`, /' "$kopie/CONTRIBUTING.md"
pruefe 0 ""
exit "$fehler"
