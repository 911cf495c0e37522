# Shared by scripts/test and scripts/run-demo: packages, the Wine prefix, a private display.

# Installs the Debian packages given that are not installed yet.
install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

# A private prefix (created once), no Mono/Gecko installers, no window manager waits.
setup_wine_prefix() { # prefix directory
    export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "== creating the Wine prefix"
        "$WINE" wineboot -i </dev/null >/dev/null 2>&1
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
        "$WINESERVER" -w
    fi
}

# Starts Xvfb on a free display number and exports DISPLAY; XVFB_PID is set.
start_xvfb() {
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        export DISPLAY=":$n"
        return 0
    done
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
}

# The demo disc as it would be burnt, in folder $1, from the win64 build:
# the menu, its configurations, the pictures drawn by make-assets.py, a document
# and the small program it starts as "setup".
assemble_demo() {
    local disc=$1
    rm -rf "$disc"
    mkdir -p "$disc"
    cp examples/demo/* "$disc/"
    cp build/win64/navora.exe "$disc/navora.exe"
    cp build/win64/demo-setup.exe "$disc/setup.exe"
    cp build/win64/assets/background.png build/win64/assets/navora.ico \
        build/win64/assets/icon-play.png build/win64/assets/icon-document.png \
        build/win64/assets/button-face.png "$disc/"
}
