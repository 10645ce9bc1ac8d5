# Sourced by the tests of the tree checks: `kopieAnlegen SOURCE SCRIPT` copies src/ and
# CONTRIBUTING.md of SOURCE with tools/SCRIPT into a scratch folder ($kopie, removed at the end);
# `pruefe CODE TEXT` runs the script there and records a failure unless it exits with CODE and
# prints TEXT; the test ends with `exit "$fehler"`.
kopieAnlegen() {
  kopie=$(mktemp -d)
  trap 'rm -rf "$kopie"' EXIT
  mkdir "$kopie/tools"
  cp -r "${1:?the source folder}/src" "$1/CONTRIBUTING.md" "$kopie/"
  cp "$1/tools/$2" "$kopie/tools/"
  skript=$2
  fehler=0
}
pruefe() {
  local ausgabe code
  ausgabe=$(bash "$kopie/tools/$skript" 2>&1)
  code=$?
  if [[ $code != "$1" || $ausgabe != *"$2"* ]]; then
    printf 'FAILED: exit %s, expected %s and "%s" in:\n%s\n' "$code" "$1" "$2" "$ausgabe"
    fehler=1
  fi
}
