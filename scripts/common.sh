# Shared by the scripts in this folder: install what is missing, build,
# and run a private Xvfb display with a Wine prefix kept under build/.
# Source it; it defines functions and sets ROOT.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
WINE64=/usr/lib/wine/wine64

# Debian packages the build, the tests and the demo need.
PACKAGES="cmake ninja-build g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix
binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 googletest wine64 xvfb xauth
x11-apps imagemagick zip unzip python3"

install_deps() {
    local missing=()
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# build_tree NAME TOOLCHAIN [cmake args...]
build_tree() {
    local name=$1 toolchain=$2
    shift 2
    cmake -S "$ROOT" -B "$ROOT/build/$name" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$toolchain" "$@" >/dev/null
    cmake --build "$ROOT/build/$name"
}

build_all() {
    build_tree win32 toolchain-i686.cmake -DBUILD_TESTING=OFF
    build_tree win64 toolchain-x86_64.cmake -DBUILD_TESTING=ON \
        -DWIN32_PROGRAM="$ROOT/build/win32/TarnwickPatch.exe"
}

wine_env() {
    export WINEPREFIX="$ROOT/build/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export WINEARCH=win64
}

# A private X display; a Wine virtual desktop on it draws captions and
# shows and hides pages without the 2 s wait for a window manager.
start_display() {
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return 0
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

start_wine() {
    wine_env
    if [ ! -f "$WINEPREFIX/.tarnwick-ready" ]; then
        echo "== creating Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        $WINE64 wineboot --init >/dev/null 2>&1
        $WINE64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        $WINE64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.tarnwick-ready"
    fi
    # A persistent server and one warm-up run, so Wine's services are up
    # before anything with pipes (CTest) starts a Windows program.
    # (One may already be up for this prefix, from an earlier run.)
    wineserver -p 2>/dev/null || true
    $WINE64 wineboot --init >/dev/null 2>&1 </dev/null
    # The virtual desktop's process is started by the first program that
    # opens a window and would hold that program's output pipe until every
    # window is gone; start it here, with nothing to inherit.
    $WINE64 explorer.exe /desktop >/dev/null 2>&1 </dev/null &
}

stop_all() {
    wineserver -k 2>/dev/null || true
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}
