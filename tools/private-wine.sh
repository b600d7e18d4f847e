# Sourced by tools/bench and tools/soak: a private X display and a Wine
# prefix of their own (a copy of the test prefix when there is one), so that
# copies of the palette running elsewhere cannot meet theirs through the
# single-copy rule, and so that cleaning up touches only what they started.
#
#   private_wine NAME FIRST_DISPLAY   sets WINEPREFIX=build/NAME/wineprefix and DISPLAY

private_wine_cleanup() {
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    if [ -n "${private_xvfb_pid:-}" ]; then
        kill "$private_xvfb_pid" 2>/dev/null || true
        wait "$private_xvfb_pid" 2>/dev/null || true
    fi
}

private_display_answers() {
    local n=$1 i
    for i in $(seq 1 200); do
        kill -0 "$private_xvfb_pid" 2>/dev/null || return 1
        if xdpyinfo -display ":$n" >/dev/null 2>&1 || xwd -root -silent -display ":$n" >/dev/null 2>&1; then return 0; fi
        sleep 0.05
    done
    return 1
}

private_wine() {
    local name=$1 first=$2 n
    mkdir -p "build/$name"
    export WINEPREFIX="$PWD/build/$name/wineprefix"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    private_xvfb_pid=""
    trap private_wine_cleanup EXIT
    for n in $(seq "$first" $((first + 49))); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"build/$name/xvfb.log" 2>&1 &
        private_xvfb_pid=$!
        if private_display_answers "$n"; then export DISPLAY=":$n"; break; fi
        kill "$private_xvfb_pid" 2>/dev/null || true
        wait "$private_xvfb_pid" 2>/dev/null || true
        private_xvfb_pid=""
    done
    [ -n "$private_xvfb_pid" ] || { echo "no X display could be started" >&2; return 1; }

    if [ ! -f "$WINEPREFIX/.k307-ready" ]; then
        rm -rf "$WINEPREFIX"
        if [ -f build/windows/wineprefix/.k307-ready ]; then
            cp -a build/windows/wineprefix "$WINEPREFIX"
        else
            mkdir -p "$WINEPREFIX"
            wineboot -i >"build/$name/wineboot.log" 2>&1 || return 1
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"build/$name/wineboot.log" 2>&1 || return 1
            wineserver -w
        fi
        touch "$WINEPREFIX/.k307-ready"
    fi
}
