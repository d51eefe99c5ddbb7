#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its contents and its Depends: only
# what running needs. Shows what lintian says. Arguments: the build folder.
set -euo pipefail
build="$1"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
(cd "$build" && cpack -G DEB -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/quillcase_*.deb)

failures=0
bad() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/quillcase ./usr/bin/quillcase-initdb ./usr/bin/quillcase-ward \
    ./usr/share/man/man1/quillcase-ward.1.gz \
    ./usr/share/applications/org.quillcase.Quillcase.desktop \
    ./usr/share/metainfo/org.quillcase.Quillcase.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/org.quillcase.Quillcase.svg \
    ./usr/share/icons/hicolor/48x48/apps/org.quillcase.Quillcase.png \
    ./usr/share/quillcase/Quillcase.chm ./usr/share/quillcase/phrases/complaints.txt; do
    grep -qx "$path" <<<"$contents" || bad "missing $path"
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
tr ',|' '\n\n' <<<"$depends" | sed 's/(.*//; s/ //g' | grep -v '^$' | while read -r pkg; do
    case "$pkg" in
        *-dev | *gtest* | *gmock* | g++* | gcc* | cmake | build-essential | fp-utils | fpc*)
            echo "FAIL: build or test package in Depends: $pkg" >&2
            echo x ;;
    esac
done | grep -q x && bad "Depends lists build or test packages"
for pkg in libqt6widgets6 libsqlcipher0 libchm1 libpq5 qt6-translations-l10n qt6-qpa-plugins fonts-noto-cjk; do
    grep -q "\b$pkg\b" <<<"$depends" || bad "Depends lacks $pkg"
done

# apt resolves the package's dependencies against this machine (a simulation only).
if command -v apt-get >/dev/null; then
    apt-get -s install "$deb" >"$out/apt.log" 2>&1 || { cat "$out/apt.log"; bad "apt-get cannot install it"; }
fi
if command -v lintian >/dev/null; then
    echo "lintian says:"
    lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v "root privileges" || true
fi

[ "$failures" -eq 0 ] && echo "Debian package: all checked"
exit "$failures"
