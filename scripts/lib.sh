# shellcheck shell=bash disable=SC2034
# Shell functions shared by scripts/run and scripts/test. Source it; do not run it.
# Works as root or as a user with sudo on Debian 12.

# runuser, initdb's helpers and friends live in /usr/sbin, which a minimal PATH may lack.
export PATH="$PATH:/usr/local/sbin:/usr/sbin:/sbin"

KADOMEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
KADOMEL_BUILD="$KADOMEL_ROOT/build"

# Packages needed to build and start the program.
KADOMEL_BUILD_PACKAGES=(
    g++ cmake ninja-build
    qt6-base-dev qt6-base-dev-tools
    qt6-charts-dev libqt6opengl6-dev  # Qt Charts finds its OpenGL module only with the latter
    libqt6sql6-sqlite libqt6sql6-psql
    libicu-dev libsqlite3-dev sqlite3
    libcups2-dev  # the print server's answers about a printer's queue
    fonts-ipafont-gothic fonts-ipafont-mincho
    qt6-translations-l10n
)
# Packages the tests need on top: the PostgreSQL server, pdftotext, the source formatter and Python
# for the include check; the print server with Debian's PDF printer for the printing tests.
KADOMEL_TEST_PACKAGES=(postgresql poppler-utils poppler-data clang-format python3 cups printer-driver-cups-pdf)
# Packages scripts/package needs on top of the build's: dpkg-dev and file for CPack's search of the
# libraries the programs link (dpkg-shlibdeps), the validators of the menu entry and AppStream file,
# and Debian's package checker lintian (scripts/package --check).
KADOMEL_PACKAGE_PACKAGES=(dpkg-dev file desktop-file-utils appstream lintian)

# The sizes of the program's icon in the desktop's icon theme (scripts/icons makes them).
KADOMEL_ICON_SIZES="16 22 24 32 48 64 128 256"

say() { printf '==> %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# Prefix for commands that need root.
if [ "$(id -u)" -eq 0 ]; then
    SUDO=()
else
    command -v sudo >/dev/null 2>&1 || die "run as root or install sudo"
    SUDO=(sudo)
fi

as_root() {
    "${SUDO[@]}" "$@"
}

# Installs those of the named packages that are not installed yet. Naming an installed package
# would upgrade it, and apt-get update is slow, so both happen only when something is missing.
ensure_packages() {
    local missing=() pkg status
    for pkg in "$@"; do
        status="$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)"
        [ "$status" = "install ok installed" ] || missing+=("$pkg")
    done
    if [ ${#missing[@]} -eq 0 ]; then
        say "packages: all present"
        return 0
    fi
    say "installing: ${missing[*]}"
    # Another apt run on the same machine holds the lock for a while: wait for it, not fail.
    local apt=(env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=600)
    as_root "${apt[@]}" update
    as_root "${apt[@]}" install --no-install-recommends "${missing[@]}"
}

# Configures build/ (Release, Ninja) unless it is already configured that way, then builds.
# Extra arguments go to cmake's configure step (and always configure); KADOMEL_BUILD_TARGET limits
# what is built (one target or several, separated by spaces). Without them a configured build/ is built at once: the build step runs CMake again
# by itself when a CMakeLists.txt has changed.
configure_and_build() {
    local cache="$KADOMEL_BUILD/CMakeCache.txt"
    if [ -f "$cache" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$cache"; then
        say "build/ was made with another generator: starting it afresh"
        rm -rf "$KADOMEL_BUILD"
    fi
    if [ $# -eq 0 ] && [ -f "$cache" ] && grep -q '^CMAKE_BUILD_TYPE:STRING=Release$' "$cache"; then
        say "build/ is configured (Ninja, Release)"
    else
        say "configuring build/"
        cmake -S "$KADOMEL_ROOT" -B "$KADOMEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
    fi
    say "building"
    if [ -n "${KADOMEL_BUILD_TARGET:-}" ]; then
        local targets
        read -r -a targets <<<"$KADOMEL_BUILD_TARGET"
        cmake --build "$KADOMEL_BUILD" -j2 --target "${targets[@]}"
    else
        cmake --build "$KADOMEL_BUILD" -j2
    fi
}

# Makes folder $1 a program folder with the sample data of docs/sample-data.sql: the database made
# by kadomel-cli, a drawn seal picture, the sample company, customer and documents. Needs a built
# kadomel-cli, sqlite3 and ImageMagick.
make_sample_home() {
    local home="$1" cli="$KADOMEL_BUILD/src/cli/kadomel-cli"
    [ -x "$cli" ] || die "build kadomel-cli first (scripts/test)"
    command -v convert >/dev/null 2>&1 || die "ImageMagick's convert is needed (apt-get install imagemagick)"
    # The first command makes the database and its tables (there is nothing to print yet).
    "$cli" --home "$home" render --kind ineidata --png "$home/none" >/dev/null 2>&1 || true
    convert -size 140x140 xc:white -fill none -stroke '#d01010' -strokewidth 8 -draw 'circle 70,70 70,8' \
        -font /usr/share/fonts/opentype/ipafont-gothic/ipag.ttf -pointsize 52 -fill '#d01010' -stroke none \
        -gravity center -annotate +0+0 '門目' -quality 92 "$home/DB/seal.jpg"
    (cd "$home/DB" && sqlite3 kadomel.sqlite3 <"$KADOMEL_ROOT/docs/sample-data.sql")
}
