#!/usr/bin/env bash
# Makes docs/screenshot.png: the real window under Xvfb, started on the
# bundled example with a settings file of its own (the user's settings are
# not touched), saved once the example is loaded and converted.
#   scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
if [[ -f "$build/build.ninja" ]]; then
    cmake --build "$build" --target travonix -j"${TRAVONIX_JOBS:-2}"
else
    TRAVONIX_TARGETS=travonix "$root/scripts/setup.sh" "$build"
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/example/out" "$work/config/Travonix"
cp "$root/examples/demo.elf" "$work/example/"
cat >"$work/config/Travonix/Travonix.ini" <<INI
[Paths]
ELFFileName=$work/example/demo.elf
DISFileName=$work/example/demo.dis
PluginFolderName=$work/example/out
MergeCFunctionName=

[Internals]
DisAsmCmd=mipsel-linux-gnu-objdump -D -z

[Settings]
MPLab=False
MPLabX=False
AutoLoadELF=True
chkShowAllFuncs=0
SelectAllFuncs=True
MergePlugins=False
SinglePluginFile=False
IndividualPluginFiles=True
AutoGeneratePlugin=True
ShowMain=False
SaveDisAsm=False
AutoCheck=True
INI

mkdir -p "$root/docs"
XDG_CONFIG_HOME="$work/config" xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/src/travonix" --screenshot "$root/docs/screenshot.png"
echo "Wrote $root/docs/screenshot.png"
