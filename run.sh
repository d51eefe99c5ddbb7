#!/usr/bin/env bash
# Installs what is missing, builds, prepares the data folder and starts Quillcase.
source "$(dirname "$0")/tools/common.sh"

qc_install "${QC_RUNTIME_PACKAGES[@]}" libgtest-dev libgmock-dev
qc_build

data="$QC_BUILD/data"
mkdir -p "$data/images"
# Starter phrase files; a file the doctor already has is never overwritten.
for f in "$QC_ROOT"/data/*.txt; do
    [ -e "$data/$(basename "$f")" ] || cp "$f" "$data/"
done
[ -e "$data/Quillcase.dat" ] || "$QC_BUILD/quillcase-initdb" "$data"

exec "$QC_BUILD/quillcase" "$@"
