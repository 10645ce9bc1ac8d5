#!/usr/bin/env bash
# Checks the layering by what the sources include: the engine includes no Qt and no other module;
# nothing outside the window (src/ui) and the program's entry (src/app) includes Qt Widgets or
# the editor component. Prints each offending line and exits 1 when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

widgets_dir=$(find /usr/include -maxdepth 3 -type d -name QtWidgets -path '*qt6*' | head -n 1)
status=0
report() { # pattern, folders...
  local pattern=$1 hits
  shift
  if hits=$(grep -rnE --include='*.cpp' --include='*.h' "$pattern" "$@"); then
    echo "$hits"
    status=1
  fi
}

# The engine: standard C++ only, and nothing of the modules built on it.
report '^\s*#\s*include\s*[<"](Q|Qt|Qsci/|(document|settings|batch|ui|cli|app)/)' src/engine

# Widgets: every header QtWidgets ships, by its class name, plus the module include and QScintilla.
widget_headers='QtWidgets|Qsci/'
if [[ -n $widgets_dir ]]; then
  widget_headers+="|$(find "$widgets_dir" -maxdepth 1 -type f -name 'Q*' ! -name '*.h' -printf '%f\n' |
    paste -sd '|')"
fi
report "^\s*#\s*include\s*<($widget_headers)>" src/engine src/document src/settings src/batch src/cli
report '^\s*#\s*include\s*"ui/' src/engine src/document src/settings src/batch src/cli

# The same for what the libraries link.
report 'Qt6?::(Widgets|Gui)|qscintilla' src/engine/CMakeLists.txt src/document/CMakeLists.txt \
  src/settings/CMakeLists.txt src/batch/CMakeLists.txt src/cli/CMakeLists.txt

if ((status)); then
  echo "layers: the lines above cross a layer" >&2
else
  echo "layers: clean"
fi
exit "$status"
