#!/usr/bin/env bash
# Sets up what is missing, builds Travonix and runs it on the bundled example.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/setup.sh" "$root/build"
"$root/build/src/cli/travonix-cli" --list "$root/examples/demo.dis"
