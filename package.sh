#!/usr/bin/env bash
# Installs what is missing, builds in release mode and makes the Debian package.
#   ./package.sh [BUILD_DIR]     default build-package/; prints the .deb's path
set -euo pipefail
cd "$(dirname "$0")"
build=${1:-build-package}
tools/deps.sh
# Packaging builds only what the package holds, not the tests and benchmarks.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target gencfg gencfg-cli gensim man_pages
(cd "$build" && cpack -G DEB >/dev/null)
ls "$PWD/$build"/gencfg_*.deb
