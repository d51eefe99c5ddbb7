# Shared by run.sh and test.sh: installs the Debian packages that are missing and
# builds the program into build/.
set -euo pipefail

QC_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QC_BUILD="$QC_ROOT/build"

qc_install() {
    local missing=()
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
}

# What building and running need.
QC_RUNTIME_PACKAGES=(build-essential cmake pkg-config qt6-base-dev qt6-qpa-plugins libqt6dbus6
    libqt6printsupport6 libsqlcipher-dev sqlcipher libpq-dev fonts-noto-cjk fonts-arphic-ukai)
# What the tests need besides: GoogleTest, the outside tools that judge our files, and the
# PostgreSQL server the ward store is tested against.
QC_TEST_PACKAGES=(libgtest-dev libgmock-dev python3 poppler-utils libreoffice-writer-nogui dbus-daemon postgresql)

qc_build() {
    cmake -S "$QC_ROOT" -B "$QC_BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$QC_BUILD" -j"$(nproc)"
}
