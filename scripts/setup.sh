# Shared set-up of run.sh and test.sh: installs the Debian packages that are
# missing and builds the project. Sourced, not run.

# Packages needed to build and run the editor.
BUILD_PACKAGES=(cmake make g++ qt6-base-dev libgl-dev fonts-dejavu-core libgettextpo-dev libhunspell-dev)
# Packages that building and checking the Debian package needs (dpkg-shlibdeps
# runs through cpack, and cpack asks file(1) which files are programs).
PACKAGE_PACKAGES=(dpkg-dev file desktop-file-utils libxml2-utils shared-mime-info appstream)
# Packages the tests need besides those: msgfmt, an X server and xdotool for
# the real window, the package tools, the dictionaries the spelling tests
# use, and translate-toolkit to read our TMX as another tool does.
TEST_PACKAGES=(gettext xvfb xauth xdotool hunspell-en-us hunspell-fr hunspell-de-de translate-toolkit "${PACKAGE_PACKAGES[@]}")
# Packages the loader's fuzz target needs: clang with libFuzzer.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

# ensure_packages PACKAGE...: installs those not installed yet, with one
# apt-get update before the first install; does nothing when all are there.
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ "${#missing[@]}" -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    as_root apt-get update
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# The Debian mirror this machine's apt uses.
debian_mirror() {
    local uri
    uri=$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $3 == "bookworm" { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
    echo "${uri:-http://deb.debian.org/debian}"
}

# build_project BUILD_DIR [CMAKE_ARGS...]: configures and builds.
build_project() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@"
    cmake --build "$dir" --parallel "$(nproc)"
}
