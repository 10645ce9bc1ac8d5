#!/usr/bin/env bash
# Checks the naming rule of CONTRIBUTING.md: a function declared in a header of src/ with a capital
# initial must be one of the names the program's own units carry, as that file's "Names" section
# lists them. Prints each offender and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
erlaubt=$(sed -n '/^## Names/,/^## /p' CONTRIBUTING.md | grep -oE '`[A-Za-z_][A-Za-z0-9_]*`' | tr -d '`' | sort -u)
# Declarations with a return type: "TYPE Name(" at the start of a statement.
gefunden=$(grep -nE '^\s*((virtual|static|inline|constexpr|explicit|friend|\[\[nodiscard\]\])\s+)*[A-Za-z_][A-Za-z0-9_:<>,]*[ *&]+[A-Z][A-Za-z0-9_]*\s*\(' src/*/*.h |
  grep -vE '^\S+:\s*(return|new|delete|else|case|throw)\b' |
  sed -E 's/^([^:]+:[0-9]+):.*[ *&]([A-Z][A-Za-z0-9_]*)\s*\(.*/\1 \2/' || true)
# Constructors and types are named after their class.
typen=$(grep -hoE '^\s*(class|struct|enum class|enum)\s+[A-Z][A-Za-z0-9_]*' src/*/*.h | awk '{print $NF}' | sort -u)
fehler=0
while read -r ort name; do
  [ -z "$name" ] && continue
  grep -qxF "$name" <<< "$erlaubt" && continue
  grep -qxF "$name" <<< "$typen" && continue
  echo "$ort: $name starts with a capital but is not a name of the program's own units (CONTRIBUTING.md, Names)"
  fehler=1
done <<< "$gefunden"
exit $fehler
