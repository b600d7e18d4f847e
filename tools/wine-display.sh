# shellcheck shell=bash
# Sourced by tools/test, tools/run (and through it tools/screenshots),
# tools/bench and tools/soak: the private X display and the Wine prefix that
# the Windows program runs in, set up one way for all of them.
#
#   k307_start_display LOG    starts Xvfb on a display it picks itself and
#                             exports DISPLAY; the server's messages go to LOG
#   k307_stop_display         stops that Xvfb, and no other
#   k307_prepare_wine LOG     makes $WINEPREFIX ready once, or brings one made
#                             by an older version up to date (marker
#                             .k307-ready holds the version)
#   k307_private_wine NAME    for bench and soak: a display and a prefix of
#                             their own in build/NAME/, both ended on exit
#   k307_wine_cleanup         ends the prefix's Wine processes and the display
#
# Messages go to standard error: tools/run prints only the picture's path on
# standard output.

export WINEDEBUG="${WINEDEBUG:--all}"
# Wine takes the Windows code pages from the Unix locale, and whenever they
# change it rewrites the prefix's font substitutes (MS Shell Dlg becomes
# Tahoma, which has no Japanese glyphs): every Wine of these commands runs
# under one locale. UTF-8, so that Wine can make Japanese file names.
export LC_ALL=C.UTF-8
# Without these Wine offers to download Mono and Gecko on a new prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

k307_xvfb_pid=""

# The X server itself takes the first display number nobody holds and writes
# it to the descriptor once it accepts clients: no number is guessed here, so
# two runs starting at once cannot pick the same one.
k307_start_display() {
    local log=$1 numfile n="" i
    numfile=$(mktemp "${TMPDIR:-/tmp}/k307-display.XXXXXX") || return 1
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" >"$log" 2>&1 &
    k307_xvfb_pid=$!
    # A loaded machine may take seconds; a server that died ends the wait.
    for ((i = 0; i < 600; i++)); do
        # read succeeds only on a whole line: the number and its newline.
        if read -r n <"$numfile"; then break; fi
        n=""
        kill -0 "$k307_xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    rm -f "$numfile"
    if ! [[ $n =~ ^[0-9]+$ ]]; then
        printf 'no X display could be started (Xvfb says, in %s:)\n' "$log" >&2
        tail -n 5 "$log" >&2
        k307_stop_display
        return 1
    fi
    export DISPLAY=":$n"
    printf 'Xvfb on %s\n' "$DISPLAY" >&2
}

k307_stop_display() {
    [ -n "$k307_xvfb_pid" ] || return 0
    kill "$k307_xvfb_pid" 2>/dev/null || true
    wait "$k307_xvfb_pid" 2>/dev/null || true
    k307_xvfb_pid=""
}

# What the pictures of the program depend on besides the program itself,
# made the same in every prefix. Raise the version when this changes: a
# prefix made by an older version is brought up to date on its next use.
k307_prefix_version=2
# Windows placed by a window manager would not be where the program puts
# them; with Managed=N Wine places them itself. Wine's own title-bar and
# dialog fonts have no Japanese glyphs, so the caption would show boxes:
# they, and the Japanese system faces, stand for IPAGothic. Font smoothing,
# the screen's DPI and the visual style are what this Wine (Debian's 8.0)
# gives a new prefix, written down so that neither another default nor the
# X server's font settings seen at the first start can change them.
k307_prefix_settings='Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="IPAGothic"
"MS Shell Dlg 2"="IPAGothic"
"Tahoma"="IPAGothic"
"MS UI Gothic"="IPAGothic"
"ＭＳ ゴシック"="IPAGothic"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"FontSmoothing"="2"
"FontSmoothingType"=dword:00000001
"FontSmoothingGamma"=dword:00000000
"FontSmoothingOrientation"=dword:00000001
"LogPixels"=dword:00000060

[HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\ThemeManager]
"ThemeActive"="1"
"DllName"="C:\\windows\\resources\\themes\\light\\light.msstyles"
"ColorName"="Blue"
"SizeName"="NormalSize"
'

k307_prepare_wine() {
    local log=$1 marker="$WINEPREFIX/.k307-ready"
    # A Wine started by hand under another locale may have rewritten the
    # substitutes since: such a prefix is set up again.
    [ "$(cat "$marker" 2>/dev/null)" = "$k307_prefix_version" ] &&
        grep -qF '"MS Shell Dlg"="IPAGothic"' "$WINEPREFIX/system.reg" && return 0
    printf 'preparing the Wine prefix %s\n' "$WINEPREFIX" >&2
    mkdir -p "$WINEPREFIX" || return 1
    : >"$log"
    # Without the marker the prefix is new or half-made (an interrupted first
    # run); wineboot -i completes either. With one only the settings below
    # may be missing or changed.
    if [ ! -f "$marker" ] && ! wineboot -i >>"$log" 2>&1; then
        cat "$log" >&2
        return 1
    fi
    # Wine draws the title-bar buttons with its own Marlett font, which this
    # Wine neither loads from its data folder nor copies into a new prefix:
    # without it the buttons show as the letters "0 1 r". Wine does load
    # what lies in the prefix's Fonts folder.
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" data
    for data in "$(dirname "$(command -v wine)")/../share/wine/fonts" /usr/share/wine/fonts; do
        if [ -f "$data/marlett.ttf" ]; then
            mkdir -p "$fonts" && cp "$data/marlett.ttf" "$fonts/" || return 1
            break
        fi
    done
    if [ ! -f "$fonts/marlett.ttf" ]; then
        printf "Wine's marlett.ttf was not found: the title-bar buttons would show as letters\n" >&2
        return 1
    fi
    # regedit reads a Unicode file whole, Japanese face name included, in
    # one Wine start.
    local reg="$WINEPREFIX/k307-settings.reg"
    { printf '\xff\xfe' && printf '%s' "$k307_prefix_settings" | iconv -f UTF-8 -t UTF-16LE; } >"$reg" || return 1
    if wine regedit /S "$(winepath -w "$reg")" >>"$log" 2>&1 && wineserver -w; then
        rm -f "$reg"
        printf '%s\n' "$k307_prefix_version" >"$marker"
        return 0
    fi
    cat "$log" >&2
    return 1
}

k307_wine_cleanup() {
    # wineserver -k ends only the processes of this prefix.
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then wineserver -k >/dev/null 2>&1 || true; fi
    k307_stop_display
}

# A prefix of its own, so that copies of the palette running elsewhere cannot
# meet this one through the single-copy rule, and so that cleaning up touches
# only what this run started. Copying a ready test prefix saves the half
# minute wineboot takes.
k307_private_wine() {
    local name=$1
    mkdir -p "build/$name" || return 1
    export WINEPREFIX="$PWD/build/$name/wineprefix"
    trap k307_wine_cleanup EXIT
    k307_start_display "build/$name/xvfb.log" || return 1
    if [ ! -f "$WINEPREFIX/.k307-ready" ]; then
        rm -rf "$WINEPREFIX"
        if [ -f build/windows/wineprefix/.k307-ready ]; then
            cp -a build/windows/wineprefix "$WINEPREFIX" || return 1
        fi
    fi
    k307_prepare_wine "build/$name/wineboot.log"
}
