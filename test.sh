#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. Exits non-zero on any failure.
source "$(dirname "$0")/tools/common.sh"

qc_install "${QC_BUILD_PACKAGES[@]}" "${QC_RUNTIME_PACKAGES[@]}" "${QC_TEST_PACKAGES[@]}"
qc_build -DQUILLCASE_TESTS=ON

export QT_QPA_PLATFORM=offscreen
cd "$QC_BUILD"
ctest --output-on-failure -j"$(nproc)" --timeout 600
