#!/usr/bin/env bash
# tools/paket.sh's arguments as the README gives them, resolved without building (--trocken):
# each must name a preset that cmake knows, and a wrong one must fail as a usage error.
set -uo pipefail
cd "$(dirname "$0")/../.."
fehler=0
pruefe() {  # expected output, then the arguments
  local erwartet=$1 ist rc
  shift
  ist=$(bash tools/paket.sh "$@" --trocken 2>&1)
  rc=$?
  if [ "$rc" != 0 ] || [ "$ist" != "$erwartet" ]; then
    echo "paket.sh $*: exit $rc, \"$ist\"; expected \"$erwartet\""
    fehler=1
  fi
}
pruefe "preset=paket folder=build-paket chroot=-"
pruefe "preset=release folder=build chroot=-" build
pruefe "preset=release folder=build chroot=/tmp/wurzel" build --chroot /tmp/wurzel
pruefe "preset=clang folder=build-clang chroot=-" clang
for falsch in "keinpreset" "--chroot" "--unbekannt"; do
  # shellcheck disable=SC2086
  bash tools/paket.sh $falsch --trocken > /dev/null 2>&1
  rc=$?
  if [ "$rc" != 2 ]; then
    echo "paket.sh $falsch: exit $rc, expected the usage error 2"
    fehler=1
  fi
done
exit "$fehler"
