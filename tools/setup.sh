# Sourced by tools/test, tools/run, tools/fuzz: installing what is missing,
# and building as the user the source tree belongs to.
#
#   k307_install PACKAGE...   installs the packages that are missing: with
#                             apt-get as root, else through sudo
#   k307_localedef LOCALE     generates a locale (de_DE.UTF-8), likewise
#   k307_as_owner SCRIPT ARG...
#                             as root in a tree that belongs to another user
#                             (sudo tools/test in a user's clone), runs the
#                             script again as that user, so that build/ and
#                             the Wine prefix belong to them; returns when
#                             nothing needs to change (a normal user, or root
#                             in a root-owned tree, as in CI)
#   k307_check_writable DIR   fails with a one-line remedy when DIR was left
#                             by another user (an earlier run as root)

k307_say() { printf '%s\n' "$*" >&2; }

k307_root_cmd() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        k307_say "needs root for: $* (there is no sudo: run it once as root)"
        return 1
    fi
}

k307_install() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    k307_say "installing ${missing[*]}"
    k307_root_cmd env DEBIAN_FRONTEND=noninteractive apt-get update >&2 &&
        k307_root_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}" >&2
}

k307_localedef() {
    local name=$1
    locale -a 2>/dev/null | grep -qix "${name%%.*}\.utf-\?8" && return 0
    k307_say "generating the $name locale"
    k307_root_cmd localedef -i "${name%%.*}" -f UTF-8 "$name"
}

k307_as_owner() {
    [ "$(id -u)" -eq 0 ] || return 0
    local tree owner
    tree=$(cd "$(dirname "$1")/.." && pwd)
    owner=$(stat -c %u "$tree")
    [ "$owner" -eq 0 ] && return 0
    local name
    name=$(id -nu "$owner" 2>/dev/null) || name=$owner
    k307_say "continuing as $name, who owns $tree"
    exec runuser -u "$name" -- "$@"
}

k307_check_writable() {
    local dir=$1 bad
    [ -e "$dir" ] || return 0
    bad=$(find "$dir" ! -user "$(id -u)" -print -quit 2>/dev/null)
    [ -z "$bad" ] && return 0
    k307_say "$dir holds files of another user ($bad), left by an earlier run as root: remove them with 'sudo rm -rf $dir' and run again"
    return 1
}
