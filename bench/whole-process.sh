#!/usr/bin/env bash
# The tool as a user meets it: whole processes of the built travonix-cli
# beside a plain getline read of the same listing and beside objdump alone,
# plus the peak memory of the two hardest inputs for their size (see
# stress/make-stress-inputs.sh). Pairs alternate; medians and ranges are
# printed and written as JSON (whole-process.py).
#   whole-process.sh BUILD_DIR [--before OLD_TRAVONIX_CLI] [--pairs N] [--only a,b]
# The JSON goes to BUILD_DIR/bench/whole-process.json.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "${1:?usage: whole-process.sh BUILD_DIR [options]}" && pwd)"
shift
cli="$build/src/travonix-cli"
getline="$build/bench/travonix_getline_read"
for tool in "$cli" "$getline"; do
    [[ -x "$tool" ]] || { echo "$tool not built (ninja -C $build travonix-cli travonix_getline_read)" >&2; exit 1; }
done
. "$here/../tests/fixtures/toolchain.sh"
require_tools "$objdump"
inputs="$build/bench/whole-process-inputs"
scale_dis="$(bash "$here/scale/make-scale-input.sh" 20000 "$inputs")"
mapfile -t stress < <(bash "$here/stress/make-stress-inputs.sh" "$inputs")
exec python3 "$here/whole-process.py" --cli "$cli" --getline "$getline" \
    --objdump "$(command -v "$objdump")" --scale-dis "$scale_dis" \
    --scale-elf "$inputs/scale-20000.elf" --gap-dis "${stress[0]}" --long-dis "${stress[1]}" \
    --json "$build/bench/whole-process.json" "$@"
