# Shared by tools/run and tools/test: set up a Debian machine, an X display and Wine.
# Sourced, not run.

QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The Wine virtual desktop Quillet runs in: its name (which asks for a taskbar, see
# use_wine_prefix) and its size.
QUILLET_DESKTOP=Quillet,1024x768

QUILLET_PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine wine64 fonts-wine xvfb xdotool x11-apps x11-utils imagemagick
    fp-utils-3.2.2 libchm-bin faketime
)

say() { printf '\033[1m== %s\033[0m\n' "$*"; }

# Installs the Debian packages that are missing; does nothing when all are there.
install_packages() {
    local missing=() p
    for p in "${QUILLET_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    say "installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
}

# Makes sure DISPLAY names a working X display; starts Xvfb on a free one when there is none.
# Xvfb picks the number itself (-displayfd), so runs started side by side never collide.
# Sets QUILLET_XVFB_PID when it started one.
ensure_display() {
    QUILLET_XVFB_PID=""
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local numberfile n i
    numberfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
    QUILLET_XVFB_PID=$!
    for i in $(seq 100); do
        n=$(head -n 1 "$numberfile")
        if [ -n "$n" ]; then
            rm -f "$numberfile"
            export DISPLAY=":$n"
            return 0
        fi
        sleep 0.1
    done
    rm -f "$numberfile"
    echo "Xvfb did not start" >&2
    return 1
}

stop_display() {
    [ -z "${QUILLET_XVFB_PID:-}" ] || kill "$QUILLET_XVFB_PID" 2>/dev/null || true
    QUILLET_XVFB_PID=""
}

# Uses (and on first use creates) the Wine prefix $1. Its first start takes a while and
# opens a configuration window, so it happens here, once, before anything is timed.
use_wine_prefix() {
    export WINEPREFIX="$1"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No installers for .NET and the HTML engine: neither is needed, and nothing is fetched.
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
    mkdir -p "$WINEPREFIX"
    # A server left over from an interrupted run would still be tied to its old display.
    wineserver -k >/dev/null 2>&1 </dev/null || true
    # A persistent server that never holds our standard handles: every later Wine process
    # connects to it instead of starting one that would.
    wineserver -p >/dev/null 2>&1 </dev/null
    QUILLET_WINESERVER=1
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        say "creating the Wine prefix $WINEPREFIX (once)"
        wineboot -i >/dev/null 2>&1 </dev/null
        # Wine's virtual desktop shows a taskbar with a notification area only where the
        # desktop's name asks for one: tools/run's desktop, and any test that opens one.
        wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops\\${QUILLET_DESKTOP%%,*}" \
            /v EnableShell /t REG_DWORD /d 1 /f >/dev/null 2>&1 </dev/null
    fi
    # No window manager runs where these prefixes show their windows (an Xvfb screen, or Wine's
    # virtual desktop), and Wine must be told so: otherwise it waits up to two seconds for one
    # each time it hides a window, every dialog's end included.
    if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg"; then
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f \
            >/dev/null 2>&1 </dev/null
    fi
    # Wine's own fonts (package fonts-wine): Tahoma, which the program asks for, and Marlett,
    # which draws the caption buttons. Debian's Wine 8 looks for them under a path it cannot
    # open, so without these links every prefix falls back to other faces: a letter "r" in
    # every close box and narrower blanks in every text.
    ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    # Preloaded by every Wine process started through wine_with_colormap (tools/wine-run too):
    # only there, since the sanitizers of the native tests insist on coming first.
    export QUILLET_WINE_PRELOAD="$QUILLET_ROOT/build/shared-colormap.so"
    mkdir -p "$QUILLET_ROOT/build"
    if [ ! -f "$QUILLET_WINE_PRELOAD" ] ||
        [ "$QUILLET_ROOT/tools/shared-colormap.c" -nt "$QUILLET_WINE_PRELOAD" ]; then
        gcc -shared -fPIC -O2 -o "$QUILLET_WINE_PRELOAD" "$QUILLET_ROOT/tools/shared-colormap.c"
    fi
    wineboot >/dev/null 2>&1 </dev/null || true
}

# Runs wine with its windows on the screen's default colormap (see tools/shared-colormap.c),
# so that screenshots show dialogs as the screen does.
wine_with_colormap() {
    LD_PRELOAD="$QUILLET_WINE_PRELOAD" wine "$@"
}

# Ends the server of the prefix that use_wine_prefix set up, and every process in it.
stop_wine() {
    [ -z "${QUILLET_WINESERVER:-}" ] || wineserver -k >/dev/null 2>&1 </dev/null || true
    QUILLET_WINESERVER=""
}
