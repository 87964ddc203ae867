#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks that every file lands
# where the desktop's conventions (and the window's search for its help
# document) expect it.
#   scripts/check-install.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
status=0
for file in bin/travonix bin/travonix-cli share/doc/travonix/help.pdf \
    share/applications/travonix.desktop share/icons/hicolor/128x128/apps/travonix.png; do
    if [[ ! -f "$prefix/$file" ]]; then
        echo "not installed: $file"
        status=1
    fi
done
# The guide lives with the documentation, not among the programs.
if [[ -e "$prefix/bin/help.pdf" ]]; then
    echo "help.pdf installed beside the programs"
    status=1
fi
if [[ "$(head -c 5 "$prefix/share/doc/travonix/help.pdf" 2>/dev/null)" != "%PDF-" ]]; then
    echo "share/doc/travonix/help.pdf is not a PDF"
    status=1
fi
exit $status
