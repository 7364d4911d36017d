#!/bin/sh
# Qt belongs to the window layers only: src/gui/, src/widgets/, tools/lumatix-viewer/ and
# their tests (tests/gui/) may include its headers; every other source under src/, tools/,
# tests/ and fuzz/ must not. Prints each offending line and fails when there is one.
#
#   qt_header_rule.sh ROOT          check the tree at ROOT
#   qt_header_rule.sh --self-test   check that the rule catches what it should
set -u

scan() {
  root=$1
  found=$(cd "$root" && find src tools tests fuzz -type f \
      \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.inc' \) \
      ! -path 'src/gui/*' ! -path 'src/widgets/*' ! -path 'tools/lumatix-viewer/*' ! -path 'tests/gui/*' \
      -print 2>/dev/null | sort |
    xargs -r grep -nHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Qt[A-Za-z0-9]*/[^>"]*|Q[A-Za-z0-9]+)[>"]')
  if [ -n "$found" ]; then
    echo "Qt headers outside src/gui, src/widgets and tools/lumatix-viewer:"
    echo "$found"
    return 1
  fi
  return 0
}

if [ "${1:-}" = "--self-test" ]; then
  tmp=$(mktemp -d) || exit 1
  trap 'rm -rf "$tmp"' EXIT
  mkdir -p "$tmp/src/app" "$tmp/src/gui" "$tmp/tools/lumatix-viewer" "$tmp/tests/gui" "$tmp/tools/lumatix"
  printf '#include <QWidget>\n#include <QtCore/QString>\n' > "$tmp/src/gui/a.cpp"
  printf '#include <QApplication>\n' > "$tmp/tools/lumatix-viewer/main.cpp"
  printf '#include <QTest>\n' > "$tmp/tests/gui/t.cpp"
  # Names that only look alike are not Qt.
  printf '#include "datastore/qv_data.h"\n#include <vector>\n// #include <QWidget> in a comment\n' > "$tmp/src/app/ok.cpp"
  scan "$tmp" > /dev/null || { echo "self-test: the allowed folders were refused"; exit 1; }
  for line in '#include <QObject>' '  #  include "QString"' '#include <QtWidgets/QDialog>' '#include <QtCore>'; do
    printf '%s\n' "$line" > "$tmp/tools/lumatix/bad.cpp"
    if scan "$tmp" > /dev/null; then echo "self-test: not caught: $line"; exit 1; fi
  done
  echo "self-test passed"
  exit 0
fi

scan "${1:?usage: qt_header_rule.sh ROOT | --self-test}"
