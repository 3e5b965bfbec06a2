# The cross-build for 64-bit Windows, shared by package-windows.sh and
# test-windows.sh. Sourced after scripts/setup.sh, not run.

WINDOWS_BUILD_PACKAGES=(cmake ninja-build make g++ g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 libgettextpo-dev libhunspell-dev
                        qt6-base-dev qt6-base-dev-tools libgl-dev dpkg-dev xz-utils zip ca-certificates)

QT_WINDOWS_VERSION=6.4.2
QT_WINDOWS_SOURCE=qt6-base
GETTEXT_WINDOWS_SOURCE=gettext
WINDOWS_CACHE=${HOME}/.cache/vantrel-windows
WINDOWS_TOOLCHAIN=$PWD/scripts/windows/mingw-w64-x86_64.cmake
WINDOWS_TRIPLE=x86_64-w64-mingw32

# Only what the programs and their tests need: Core, Gui, Widgets, Test and
# the Windows platform and style plugins. Debian's source leaves out Wintab
# (tablet support) for its licence; Qt 6.4's Windows plugin needs OpenGL on.
QT_WINDOWS_OPTIONS=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_opengl=ON -DFEATURE_jpeg=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
)
qt_key=$(printf '%s\n' "$QT_WINDOWS_VERSION" "${QT_WINDOWS_OPTIONS[@]}" | sha1sum | cut -c1-10)
QT_WINDOWS_PREFIX=$WINDOWS_CACHE/qt-$QT_WINDOWS_VERSION-$qt_key
GETTEXTPO_WINDOWS_PREFIX=$WINDOWS_CACHE/gettextpo-0.21
HUNSPELL_WINDOWS_PREFIX=$WINDOWS_CACHE/hunspell-1.7.1
# The dictionaries the zip carries, by code, and Debian's packages of them.
WINDOWS_DICTIONARIES=(en_US:hunspell-en-us fr_FR:hunspell-fr-classical de_DE:hunspell-de-de cs_CZ:hunspell-cs sv_SE:hunspell-sv)
WINDOWS_DICTIONARY_DEBS=$WINDOWS_CACHE/dictionaries
WINDOWS_BUILD=$PWD/build-windows

# Source packages through an apt configuration of our own, so that the
# system's sources list stays as it is.
fetch_windows_sources() {
    local apt=$WINDOWS_CACHE/apt src=$WINDOWS_CACHE/src
    [ -d "$src/qtbase" ] && [ -d "$src/gettext" ] && return 0
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$src"
    echo "deb-src $(debian_mirror) bookworm main" >"$apt/sources.list"
    local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                   -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
    apt-get "${options[@]}" update
    (cd "$src" && apt-get "${options[@]}" source --download-only "$QT_WINDOWS_SOURCE" "$GETTEXT_WINDOWS_SOURCE")
    rm -rf "$src/qtbase" "$src/gettext"
    (cd "$src" && dpkg-source --no-check -x qt6-base_*.dsc qtbase && dpkg-source --no-check -x gettext_*.dsc gettext)
}

# Hunspell's source, and Debian's packages of the dictionaries the zip
# carries, through the same apt configuration.
fetch_windows_spelling() {
    local apt=$WINDOWS_CACHE/apt src=$WINDOWS_CACHE/src binary=$WINDOWS_CACHE/apt-binary
    if [ ! -f "$src"/hunspell_1.7.1.orig.tar.gz ]; then
        local options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=/dev/null
                       -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
        (cd "$src" && apt-get "${options[@]}" source --download-only hunspell)
    fi
    [ -f "$WINDOWS_DICTIONARY_DEBS/.complete" ] && return 0
    mkdir -p "$binary/lists/partial" "$binary/cache/archives/partial" "$WINDOWS_DICTIONARY_DEBS"
    echo "deb $(debian_mirror) bookworm main" >"$binary/sources.list"
    local options=(-o "Dir::Etc::SourceList=$binary/sources.list" -o Dir::Etc::SourceParts=/dev/null
                   -o "Dir::State::Lists=$binary/lists" -o "Dir::Cache=$binary/cache")
    apt-get "${options[@]}" update
    local entry packages=()
    for entry in "${WINDOWS_DICTIONARIES[@]}"; do
        packages+=("${entry#*:}")
    done
    (cd "$WINDOWS_DICTIONARY_DEBS" && apt-get "${options[@]}" download "${packages[@]}")
    touch "$WINDOWS_DICTIONARY_DEBS/.complete"
}

# Hunspell's library. Built with MinGW it would open dictionaries by their
# names in the ANSI code page, which cannot hold every folder's name
# (C:\Users\Łukasz\...): the wide-name opening that Microsoft's compiler
# gets is turned on for MinGW too, and the programs give it long-path names
# in UTF-8.
build_windows_hunspell() {
    [ -f "$HUNSPELL_WINDOWS_PREFIX/.complete" ] && return 0
    local src=$WINDOWS_CACHE/src build=$WINDOWS_CACHE/build-hunspell
    echo "== Building Hunspell for Windows into $HUNSPELL_WINDOWS_PREFIX (once)"
    rm -rf "$build"
    mkdir -p "$build"
    tar -C "$build" -xzf "$src"/hunspell_1.7.1.orig.tar.gz
    local source=$build/hunspell-1.7.1
    sed -i 's/#if defined(_WIN32) \&\& defined(_MSC_VER)/#if defined(_WIN32)/' "$source/src/hunspell/csutil.cxx"
    grep -q '^#if defined(_WIN32)$' "$source/src/hunspell/csutil.cxx" || { echo "Hunspell's source is not as expected" >&2; return 1; }
    (cd "$source" && ./configure --host="$WINDOWS_TRIPLE" --prefix="$HUNSPELL_WINDOWS_PREFIX" --disable-nls \
        --without-ui --without-readline --enable-shared --disable-static \
        CC="$WINDOWS_TRIPLE-gcc-posix" CXX="$WINDOWS_TRIPLE-g++-posix" >configure.log)
    make -C "$source/src/hunspell" -j"$(nproc)" >"$build/make.log"
    make -C "$source/src/hunspell" install >/dev/null
    cp "$source/COPYING.LESSER" "$HUNSPELL_WINDOWS_PREFIX/COPYING.LESSER"
    cp "$source/COPYING.MPL" "$HUNSPELL_WINDOWS_PREFIX/COPYING.MPL"
    cp "$source/COPYING" "$HUNSPELL_WINDOWS_PREFIX/COPYING"
    touch "$HUNSPELL_WINDOWS_PREFIX/.complete"
    rm -rf "$build"
}

# The zip's dictionaries/: each dictionary of Debian's packages in UTF-8 (the
# Windows build's Qt reads no other 8-bit encodings than ISO-8859-1), with its
# copyright and README in licences/dictionaries/.
copy_windows_dictionaries() {
    local to=$1 licences=$2 entry code package unpacked encoding
    mkdir -p "$to" "$licences"
    for entry in "${WINDOWS_DICTIONARIES[@]}"; do
        code=${entry%%:*}
        package=${entry#*:}
        unpacked=$WINDOWS_DICTIONARY_DEBS/$package
        rm -rf "$unpacked"
        dpkg-deb -x "$WINDOWS_DICTIONARY_DEBS/${package}_"*.deb "$unpacked"
        encoding=$(sed -n 's/^SET[[:space:]]*\([^[:space:]]*\).*/\1/p' "$unpacked/usr/share/hunspell/$code.aff" | head -n 1)
        encoding=${encoding:-ISO8859-1}
        if [ "$encoding" = UTF-8 ]; then
            cp -L "$unpacked/usr/share/hunspell/$code.aff" "$unpacked/usr/share/hunspell/$code.dic" "$to/"
        else
            iconv -f "$encoding" -t UTF-8 "$unpacked/usr/share/hunspell/$code.aff" | sed "s/^SET[[:space:]].*/SET UTF-8/" >"$to/$code.aff"
            iconv -f "$encoding" -t UTF-8 "$unpacked/usr/share/hunspell/$code.dic" >"$to/$code.dic"
        fi
        cp "$unpacked/usr/share/doc/$package/copyright" "$licences/$code-copyright.txt"
        find "$unpacked/usr/share/doc/$package" -maxdepth 1 -iname 'README*' -exec sh -c \
            'code=$1; shift; for f; do case "$f" in *.gz) gzip -dc "$f" >"$0/$(basename "${f%.gz}")-$code.txt";; *) cp "$f" "$0/$(basename "$f")-$code.txt";; esac; done' \
            "$licences" "$code" {} +
    done
}

build_windows_qt() {
    [ -f "$QT_WINDOWS_PREFIX/.complete" ] && return 0
    local build=$WINDOWS_CACHE/build-qtbase-$qt_key
    echo "== Building Qt $QT_WINDOWS_VERSION for Windows into $QT_WINDOWS_PREFIX (once; it takes a while)"
    cmake -G Ninja -S "$WINDOWS_CACHE/src/qtbase" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$QT_WINDOWS_PREFIX" "${QT_WINDOWS_OPTIONS[@]}" >"$build.configure.log"
    cmake --build "$build" --parallel "$(nproc)"
    cmake --install "$build" >/dev/null
    touch "$QT_WINDOWS_PREFIX/.complete"
    rm -rf "$build"
}

# gettext's PO library from the upstream tarball in Debian's source package
# (Debian's patches touch only the build system and the other programs, and
# would need autotools to regenerate it). Without NLS or iconv: catalogues are
# UTF-8 on both systems.
build_windows_gettextpo() {
    [ -f "$GETTEXTPO_WINDOWS_PREFIX/.complete" ] && return 0
    local src=$WINDOWS_CACHE/src build=$WINDOWS_CACHE/build-gettextpo
    echo "== Building libgettextpo for Windows into $GETTEXTPO_WINDOWS_PREFIX (once)"
    rm -rf "$src/gettext-0.21" "$build"
    tar -C "$src" -xf "$src"/gettext_0.21.orig.tar.xz
    mkdir -p "$build"
    (cd "$build" && "$src/gettext-0.21/gettext-tools/configure" --host="$WINDOWS_TRIPLE" --prefix="$GETTEXTPO_WINDOWS_PREFIX" \
        --disable-nls --disable-java --disable-csharp --disable-openmp --disable-curses --without-emacs --without-git \
        --disable-static --enable-shared --with-included-libxml \
        CC="$WINDOWS_TRIPLE-gcc-posix" CXX="$WINDOWS_TRIPLE-g++-posix" >configure.log)
    make -C "$build/libgettextpo" -j"$(nproc)" >"$build/make.log"
    make -C "$build/libgettextpo" install >/dev/null
    cp "$src/gettext-0.21/COPYING" "$GETTEXTPO_WINDOWS_PREFIX/COPYING"
    touch "$GETTEXTPO_WINDOWS_PREFIX/.complete"
    rm -rf "$build" "$src/gettext-0.21"
}

# The programs, and with tests=ON the model and command-line tests, built for
# Windows in build-windows/cross. The icon comes from a Linux build of the
# renderer in build-windows/host.
build_windows_project() {
    local tests=${1:-OFF}
    cmake -S . -B "$WINDOWS_BUILD/host" -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_TESTS=OFF >/dev/null
    cmake --build "$WINDOWS_BUILD/host" --target zelk_icons --parallel "$(nproc)" >/dev/null
    cmake -G Ninja -S . -B "$WINDOWS_BUILD/cross" -DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN" \
        -DZELK_WINDOWS_PREFIXES="$QT_WINDOWS_PREFIX;$GETTEXTPO_WINDOWS_PREFIX" -DCMAKE_PREFIX_PATH="$QT_WINDOWS_PREFIX" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DGETTEXTPO_INCLUDE_DIR="$GETTEXTPO_WINDOWS_PREFIX/include" \
        -DGETTEXTPO_LIBRARY="$GETTEXTPO_WINDOWS_PREFIX/lib/libgettextpo.dll.a" \
        -DHUNSPELL_INCLUDE_DIR="$HUNSPELL_WINDOWS_PREFIX/include" \
        -DHUNSPELL_LIBRARY="$HUNSPELL_WINDOWS_PREFIX/lib/libhunspell-1.7.dll.a" \
        -DZELK_WINDOWS_ICON="$WINDOWS_BUILD/host/data/icons/vantrel.ico" \
        -DCMAKE_BUILD_TYPE=Release -DZELK_BUILD_TESTS="$tests" >/dev/null
    cmake --build "$WINDOWS_BUILD/cross" --parallel "$(nproc)"
}

windows_version() {
    sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt
}

# The DLLs a Windows program or DLL imports, by name.
imported_dlls() {
    "$WINDOWS_TRIPLE-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'
}

# Where the DLLs we ship come from: Qt, libgettextpo, and MinGW's runtime.
windows_dll_folders() {
    echo "$QT_WINDOWS_PREFIX/bin"
    echo "$GETTEXTPO_WINDOWS_PREFIX/bin"
    echo "$HUNSPELL_WINDOWS_PREFIX/bin"
    dirname "$("$WINDOWS_TRIPLE-g++-posix" -print-file-name=libstdc++-6.dll)"
    echo "/usr/$WINDOWS_TRIPLE/lib"
}

# Copies into FOLDER every DLL that the files there import and that we ship,
# and the DLLs those import in turn; system DLLs are left to Windows.
copy_windows_dlls() {
    local folder=$1 changed=1 file dll source
    mapfile -t sources < <(windows_dll_folders)
    while [ "$changed" -eq 1 ]; do
        changed=0
        while IFS= read -r file; do
            while IFS= read -r dll; do
                [ -e "$folder/$dll" ] && continue
                for source in "${sources[@]}"; do
                    if [ -f "$source/$dll" ]; then
                        cp "$source/$dll" "$folder/"
                        changed=1
                        break
                    fi
                done
            done < <(imported_dlls "$file")
        done < <(find "$folder" -name '*.exe' -o -name '*.dll')
    done
}

# Our licence, Qt's (with those of the libraries bundled in Qt), gettext's
# and those of MinGW's runtime.
copy_windows_licences() {
    local to=$1 qt=$WINDOWS_CACHE/src/qtbase library
    mkdir -p "$to/Qt" "$to/MinGW"
    cp LICENSE "$to/Zelk-Strings-Editor.txt"
    cp "$qt"/LICENSES/*.txt "$to/Qt/"
    for library in zlib libpng freetype harfbuzz-ng pcre2 double-conversion md4c; do
        find "$qt/src/3rdparty/$library" -maxdepth 2 -type f \( -iname 'LICENSE*' -o -iname 'COPYING*' -o -name 'FTL.TXT' \) \
            -exec sh -c 'cp "$1" "$2/$3-$(basename "$1")"' _ {} "$to/Qt" "$library" \;
    done
    cp "$GETTEXTPO_WINDOWS_PREFIX/COPYING" "$to/libgettextpo-COPYING.txt"
    mkdir -p "$to/Hunspell"
    cp "$HUNSPELL_WINDOWS_PREFIX/COPYING.LESSER" "$to/Hunspell/COPYING.LESSER.txt"
    cp "$HUNSPELL_WINDOWS_PREFIX/COPYING.MPL" "$to/Hunspell/COPYING.MPL.txt"
    cp "$HUNSPELL_WINDOWS_PREFIX/COPYING" "$to/Hunspell/COPYING.txt"
    cp /usr/share/doc/gcc-mingw-w64-base/copyright "$to/MinGW/gcc-runtime.txt"
    cp /usr/share/doc/mingw-w64-common/copyright "$to/MinGW/mingw-w64.txt"
}

# build-windows/vantrel-VERSION-windows-x64.zip: the programs, the Qt and
# MinGW DLLs beside them, the platform and style plugins, a README and the
# licence texts.
pack_windows_zip() {
    local version name stage
    version=$(windows_version)
    name=vantrel-$version-windows-x64
    stage=$WINDOWS_BUILD/stage/$name
    rm -rf "$WINDOWS_BUILD/stage" "$WINDOWS_BUILD/$name.zip"
    mkdir -p "$stage/platforms" "$stage/styles" "$stage/licences"
    cp "$WINDOWS_BUILD/cross/src/app/Vantrel.exe" "$WINDOWS_BUILD/cross/src/cli/zelkstr.exe" "$stage/"
    cp "$QT_WINDOWS_PREFIX/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$QT_WINDOWS_PREFIX/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
    copy_windows_dlls "$stage"
    find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$WINDOWS_TRIPLE-strip" --strip-unneeded
    sed -e "s/@VERSION@/$version/g" -e "s/@QT_VERSION@/$QT_WINDOWS_VERSION/g" scripts/windows/README.txt.in | sed 's/$/\r/' >"$stage/README.txt"
    copy_windows_licences "$stage/licences"
    copy_windows_dictionaries "$stage/dictionaries" "$stage/licences/dictionaries"
    (cd "$WINDOWS_BUILD/stage" && zip -qr9 "../$name.zip" "$name")
    echo "$WINDOWS_BUILD/$name.zip ($(du -h "$WINDOWS_BUILD/$name.zip" | cut -f1))"
}
