#!/usr/bin/env bash
# Installs the build into a scratch root, as the Debian package lays it out, and
# checks what a user gets: programs that run from there without a display, a
# desktop entry and AppStream metadata that validate and point at what is
# installed, and man pages that name every command and option the programs print.
#   tests/install_tree.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

bin=$root/usr/bin
share=$root/usr/share
app=org.gencfg.gencfg

# Only programs and shared data: no headers or libraries of the build.
stray=$(cd "$root" && find . -type f ! -path './usr/bin/*' ! -path './usr/share/*')
[ -z "$stray" ] || fail "installed outside usr/bin and usr/share: $stray"

# No display: --help and --version must not need one.
run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
for program in gencfg gencfg-cli gensim; do
  if [ ! -x "$bin/$program" ]; then
    fail "usr/bin/$program is not installed"
    continue
  fi
  shown=$(run "$bin/$program" --version 2>&1) || fail "$program --version exits with $?"
  [ "$shown" = "$program $version" ] || fail "$program --version prints '$shown', not '$program $version'"
done
help=$(run "$bin/gencfg" --help 2>&1) || fail "gencfg --help exits with $?"
grep -q -- '--port' <<<"$help" || fail "gencfg --help does not list --port: $help"

desktop=$share/applications/$app.desktop
metainfo=$share/metainfo/$app.metainfo.xml
icon=$share/icons/hicolor/scalable/apps/$app.svg
for f in "$desktop" "$metainfo" "$icon"; do
  [ -f "$f" ] || fail "${f#"$root"/} is not installed"
done
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects ${desktop#"$root"/}"
  exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [ -x "$bin/$exec_program" ] || fail "the desktop entry starts '$exec_program', which is not in usr/bin"
  icon_name=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$share/icons/hicolor/scalable/apps/$icon_name.svg" ] ||
    fail "the desktop entry's icon '$icon_name' is not in the hicolor theme"
fi
[ -f "$metainfo" ] && { appstreamcli validate --no-net "$metainfo" >/dev/null ||
  fail "appstreamcli rejects ${metainfo#"$root"/}: $(appstreamcli validate --no-net "$metainfo" 2>&1)"; }
[ -f "$icon" ] && { file -b "$icon" | grep -q 'SVG' || fail "${icon#"$root"/} is not an SVG image"; }

# The long options in a help text, e.g. "--port", "--reply-delay".
long_options() { grep -o -- '--[a-z][a-z-]*' | sort -u; }
# A page with its roff hyphens "\-" read as plain ones.
page_text() { gzip -dc "$share/man/man1/$1.1.gz" | sed 's/\\-/-/g'; }
check_page() { # PROGRAM WORD...: the page of PROGRAM names every WORD
  local program=$1 text
  shift
  if [ ! -f "$share/man/man1/$program.1.gz" ]; then
    fail "usr/share/man/man1/$program.1.gz is not installed"
    return
  fi
  text=$(page_text "$program")
  for word in "$@"; do
    case $word in
      --*) pattern="$word([^a-z-]|\$)" ;;                   # an option, anywhere
      *) pattern="(\\\\fB|^\\.B )$word( |\\\\f|\$)" ;; # a command, in bold
    esac
    grep -E -q -- "$pattern" <<<"$text" || fail "the man page of $program does not mention $word"
  done
}
for program in gencfg gensim; do
  # shellcheck disable=SC2046
  check_page "$program" $(run "$bin/$program" --help | long_options)
done
commands=$(run "$bin/gencfg-cli" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\) .*/\1/p')
[ -n "$commands" ] || fail "gencfg-cli --help lists no commands"
for command in $commands; do
  # shellcheck disable=SC2046
  check_page gencfg-cli "$command" $(run "$bin/gencfg-cli" "$command" --help | long_options)
done

[ "$failures" -eq 0 ] || exit 1
echo "installed tree checked: $(cd "$root" && find . -type f | wc -l) files"
