#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks the installed tree: every file where the
# desktop looks for it, the desktop entry and the AppStream data valid, and the installed
# program answering --version and --help without a display.
# Usage: packaging/check-install.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
passed=0 failed=0
check() { # description, command...
  local what=$1
  shift
  if "$@" >"$home/out" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
    sed 's/^/    /' "$home/out"
  fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null

id=org.bramblegate.Bramblegate
for file in bin/bramblegate libexec/bramblegate/bghelper \
    share/bramblegate/pages/start.html share/bramblegate/pages/help/contents.html \
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/bramblegate.svg share/icons/hicolor/256x256/apps/bramblegate.png \
    share/man/man1/bramblegate.1.gz; do
  check "installed: $file" test -s "$prefix/$file"
done
square_icon() { file "$prefix/share/icons/hicolor/256x256/apps/bramblegate.png" | grep -q '256 x 256'; }
manual_reads() { gzip -dc "$prefix/share/man/man1/bramblegate.1.gz" | grep -q '^.SH NAME'; }
check "the icon is 256 pixels square" square_icon
check "the manual page reads" manual_reads
check "desktop-file-validate" desktop-file-validate "$prefix/share/applications/$id.desktop"
check "the desktop entry hands addresses over" grep -q '^Exec=bramblegate %U$' "$prefix/share/applications/$id.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml"

# No display at all: the answers come before any window could.
bg=("env" "-u" "DISPLAY" "-u" "WAYLAND_DISPLAY" "-u" "QT_QPA_PLATFORM" "$prefix/bin/bramblegate")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
answers_version() { [ "$("${bg[@]}" --version)" = "Bramblegate $version" ]; }
answers_help() { "${bg[@]}" --help | grep -q '^Usage: bramblegate'; }
refuses_unknown() {
  local rc=0
  "${bg[@]}" --bogus 2>"$home/err" || rc=$?
  [ "$rc" -eq 2 ] && grep -q "Unknown option 'bogus'" "$home/err"
}
check "--version" answers_version
check "--help" answers_help
check "an unknown option ends with 2" refuses_unknown

# The installed companion finds the installed program: the menu entry is the tree's own, so it
# writes none for the user.
registers_nothing() {
  XDG_DATA_HOME="$home/data" "$prefix/libexec/bramblegate/bghelper" /REGSERVER &&
    [ ! -e "$home/data/applications/bramblegate.desktop" ]
}
check "bghelper /REGSERVER of an installed tree writes no entry" registers_nothing

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
