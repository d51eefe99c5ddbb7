#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs: the programs,
# the menu entry, the icon, the AppStream metainfo, the help file and the starter phrases.
# Arguments: the build folder, the source folder.
set -euo pipefail
build="$1"
source="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

failures=0
bad() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

for program in quillcase quillcase-initdb quillcase-ward; do
    [ -x "$prefix/bin/$program" ] || bad "bin/$program is missing or not executable"
    [ -f "$prefix/share/man/man1/$program.1.gz" ] || bad "no manual page for $program"
done
# The installed ward tool runs: without arguments it shows its usage and exits with 2.
status=0
"$prefix/bin/quillcase-ward" >/dev/null 2>&1 || status=$?
[ "$status" -eq 2 ] || bad "quillcase-ward without arguments exited with $status"

desktop="$prefix/share/applications/org.quillcase.Quillcase.desktop"
if [ -f "$desktop" ]; then
    complaints=$(desktop-file-validate "$desktop" 2>&1 | grep -v ': hint: ' || true)
    [ -z "$complaints" ] || bad "desktop-file-validate: $complaints"
    grep -qx 'Categories=Office;MedicalSoftware;' "$desktop" || bad "Categories"
    grep -q '^Name\[zh_CN\]=.*病历' "$desktop" || bad "Chinese Name"
    grep -q '^Comment\[zh_CN\]=.*病历' "$desktop" || bad "Chinese Comment"
    grep -qx 'Exec=quillcase' "$desktop" || bad "Exec"
    grep -qx 'Icon=org.quillcase.Quillcase' "$desktop" || bad "Icon"
else
    bad "no desktop file"
fi

icons="$prefix/share/icons/hicolor"
grep -q '<svg' "$icons/scalable/apps/org.quillcase.Quillcase.svg" || bad "scalable icon"
for size in 16 32 48 64 128 256; do
    png="$icons/${size}x${size}/apps/org.quillcase.Quillcase.png"
    # Width and height are the two big-endian words after the PNG signature and IHDR header.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" 2>/dev/null |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}') || true
    [ "${width:-0}x${height:-0}" = "${size}x${size}" ] || bad "icon $size: ${width:-none}x${height:-none}"
done

metainfo="$prefix/share/metainfo/org.quillcase.Quillcase.metainfo.xml"
if [ -f "$metainfo" ]; then
    appstreamcli validate --no-net --no-color "$metainfo" >/dev/null || bad "appstreamcli validate"
else
    bad "no metainfo"
fi

share="$prefix/share/quillcase"
[ "$(head -c 4 "$share/Quillcase.chm" 2>/dev/null)" = "ITSF" ] || bad "help file"
starter=$(ls "$source"/data/*.txt | wc -l)
installed=$(ls "$share"/phrases/*.txt 2>/dev/null | wc -l)
[ "$starter" -eq "$installed" ] || bad "starter phrases: $installed of $starter"
for f in "$source"/data/*.txt; do
    cmp -s "$f" "$share/phrases/$(basename "$f")" || bad "phrase file $(basename "$f") differs"
done

[ "$failures" -eq 0 ] && echo "install into a prefix: all checked"
exit "$failures"
