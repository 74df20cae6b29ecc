# Sourced by ./test and ./run: installs the Debian packages the project needs when any is missing.
TQ_PACKAGES=(
    cmake g++ make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-svg-dev qt6-translations-l10n libgl-dev
    fonts-noto-cjk xdotool x11-apps x11-utils imagemagick
    librtmidi-dev libasound2-dev libjack-jackd2-dev jackd2 libsqlite3-dev
    xvfb xauth midicsv python3 python3-mido bc poppler-utils
    librsvg2-bin desktop-file-utils libxml2-utils appstream shared-mime-info libglib2.0-bin groff-base
    clang libclang-rt-14-dev llvm
    g++-mingw-w64-x86-64-posix googletest wine wine64
)

# tq_ensure_packages [PACKAGE...]: the project's packages and the given ones.
tq_ensure_packages() {
    local missing=() p
    for p in "${TQ_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
