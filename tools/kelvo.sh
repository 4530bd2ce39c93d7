#!/usr/bin/env bash
# Sets up a Debian or Ubuntu machine for kelvo, builds it, and either opens the window
# ("run") or runs the whole test suite ("test").
#   tools/kelvo.sh run [GROUP]  install what is missing, build, open the window on the bundled
#                               tables (GROUP: 0 nursery, 1 girls, 2 boys, 4 men, else women)
#   tools/kelvo.sh test   install what is missing, build, run every test (native, sanitizers, Wine,
#                         the browser)
#   tools/kelvo.sh web    install what is missing, build the site for the browser into build-web/site
set -euo pipefail

top=$(cd "$(dirname "$0")/.." && pwd)
build=${KELVO_BUILD_DIR:-$top/build}
jobs=$(nproc 2>/dev/null || echo 2)

# Packages for building and running the Linux window, and for the native tests (help2man
# writes kelvo-cli's manual page at build time).
base_packages=(cmake g++ make pkg-config git googletest libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev fonts-dejavu-core xvfb xauth help2man libxml2-dev)
# Packages for the rest of the test suite: the sanitizer build, the Windows build under Wine,
# the Debian package and the Windows installer with their checks, and the measurement files'
# schema check and the pattern-making program that opens and drafts from them.
test_packages=(clang-14 libclang-rt-14-dev g++-mingw-w64-x86-64 wine wine64 fonts-wine locales strace
  x11-apps imagemagick python3 nsis lintian appstream desktop-file-utils dpkg-dev libxml2-utils poppler-utils
  valentina emscripten chromium)
# For the site: Emscripten (which brings its clang and needs node).
web_packages=(emscripten)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Wine takes the Windows code pages 1251 and 866 from a Russian locale.
generate_russian_locale() {
  locale -a 2>/dev/null | grep -qix 'ru_RU.utf8' && return 0
  echo "Generating the ru_RU.UTF-8 locale"
  as_root sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
  as_root locale-gen >/dev/null
}

install_missing() {
  local missing=()
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# node and npm as commands: a machine may have them from another source than Debian's packages
# (whose npm then cannot be installed beside them).
install_node_commands() {
  command -v node >/dev/null 2>&1 || install_missing nodejs
  command -v npm >/dev/null 2>&1 || install_missing npm
}

build_native() {
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELVO_WERROR=ON >/dev/null
  cmake --build "$build" -j"$jobs"
}

case "${1:-}" in
  run)
    install_missing "${base_packages[@]}"
    build_native
    shift
    exec "$top/tools/run-window.sh" "$build" "$@"
    ;;
  test)
    install_missing "${base_packages[@]}" "${test_packages[@]}"
    install_node_commands
    generate_russian_locale
    build_native
    status=0
    (cd "$build" && ctest --output-on-failure -j"$jobs") || status=1
    for suite in sanitize-tests.sh wine-tests.sh web-tests.sh; do
      if [ -x "$top/tools/$suite" ]; then
        echo "== $suite"
        "$top/tools/$suite" || status=1
      fi
    done
    exit $status
    ;;
  web)
    install_missing "${base_packages[@]}" "${web_packages[@]}"
    build_native
    mkdir -p "$top/build-web"
    "$top/tools/web-build.sh" "$build" "$top/build-web"
    echo "The site is in $top/build-web/site: serve it with"
    echo "  python3 -m http.server --directory $top/build-web/site 8000"
    echo "and open http://localhost:8000/ (any static host serves it)."
    ;;
  *)
    echo "usage: tools/kelvo.sh run|test|web" >&2
    exit 2
    ;;
esac
