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

# What building needs: the compiler, Qt's and SQLCipher's headers, libchm for the help
# window and chmcmd (fp-utils), which compiles the help file.
QC_BUILD_PACKAGES=(build-essential cmake pkg-config qt6-base-dev libsqlcipher-dev libchm-dev fp-utils
    libpq-dev)
# What running needs (the .deb depends on these): Qt's platform plugins and Chinese
# translations, the libraries, the fonts, and the sqlcipher client for looking into the database.
QC_RUNTIME_PACKAGES=(qt6-qpa-plugins libqt6dbus6 libqt6printsupport6 libsqlcipher0 libchm1 qt6-translations-l10n
    sqlcipher fonts-noto-cjk fonts-arphic-ukai)
# What the tests need besides: GoogleTest, and the outside tools that judge our files.
QC_TEST_PACKAGES=(libgtest-dev libgmock-dev python3 poppler-utils libreoffice-writer-nogui dbus-daemon
    postgresql appstream desktop-file-utils lintian xvfb xauth imagemagick fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6)

# Configures build/; extra arguments go to cmake (-DQUILLCASE_TESTS=ON).
qc_configure() {
    cmake -S "$QC_ROOT" -B "$QC_BUILD" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

# Builds everything (the tests included when they are configured).
qc_build() {
    qc_configure "$@"
    cmake --build "$QC_BUILD" -j"$(nproc)"
}
