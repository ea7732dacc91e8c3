# What every script of Kestrane needs, sourced from bash scripts that run with "set -euo pipefail":
#   source "$(dirname "$(readlink -f "$0")")/lib.sh"
#
#   KS_SRC                    the checkout's root
#   KS_BUILD_PACKAGES         the Debian packages that building the engine and the game needs
#   KS_TEST_PACKAGES          and what the test suite adds to them
#   ks_say MESSAGE...         a line on stderr, after the script's name
#   ks_install_packages PKG...  installs the Debian packages that are missing (as root or via sudo)
#   ks_start_xvfb             a private X server on a free display; exports DISPLAY (and a silent
#                             ALSOFT_DRIVERS), sets KS_XVFB_PID
#   ks_stop_xvfb              stops it again; harmless when none runs (call it from the EXIT trap)
#   ks_stop_process PID...    ends processes this script started and waits for them
#
# Nothing here changes traps, options or the working directory.

KS_SRC="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)"
# Names as Debian 12 and sid both have them.
KS_BUILD_PACKAGES=(build-essential cmake libsfml-dev libgif-dev libgl-dev fonts-dejavu-core)
KS_TEST_PACKAGES=(libgtest-dev googletest libxfixes-dev xvfb xdotool x11-utils imagemagick pkgconf)
KS_XVFB_PID=""
KS_XVFB_DIR=""
KS_APT_UPDATED=no

ks_say()
{
    printf '%s: %s\n' "${0##*/}" "$*" >&2
}

ks_install_packages()
{
    local missing=() pkg sudo=()
    command -v dpkg-query >/dev/null 2>&1 || return 0 # not Debian: nothing to check against
    for pkg in "$@"; do
        if [ "$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null)" != installed ]; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null 2>&1; then
            ks_say "missing Debian packages: ${missing[*]}; install them as root (apt-get install ${missing[*]})"
            return 1
        fi
        sudo=(sudo)
    fi
    ks_say "installing ${missing[*]}"
    # Another apt-get (a helper, the daily update) may hold the lock for a while: wait, do not fail.
    local apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=300)
    if [ "$KS_APT_UPDATED" = no ]; then
        "${apt[@]}" update </dev/null
        KS_APT_UPDATED=yes
    fi
    "${apt[@]}" -y -o Dpkg::Use-Pty=0 install "${missing[@]}" </dev/null >/dev/null
}

ks_stop_process()
{
    local pid
    for pid in "$@"; do
        [ -n "$pid" ] || continue
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}

# -displayfd: the server takes the first free display number and writes it once it accepts
# connections, so two runs never race for a number. -noreset: otherwise it resets whenever its
# last client leaves and refuses the next one meanwhile.
ks_start_xvfb()
{
    ks_install_packages xvfb x11-utils
    KS_XVFB_DIR="$(mktemp -d /tmp/kestrane-xvfb.XXXXXX)"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$KS_XVFB_DIR/display" >"$KS_XVFB_DIR/log" 2>&1 </dev/null &
    KS_XVFB_PID=$!
    local n="" _
    # Up to 20 s: a busy machine starts it slowly.
    for _ in $(seq 200); do
        n="$(tr -d '[:space:]' <"$KS_XVFB_DIR/display")"
        if [ -n "$n" ] && xdpyinfo -display ":$n" >/dev/null 2>&1; then
            export DISPLAY=":$n"
            # Nobody listens to a virtual display: no sound card is needed (SFML 2's OpenAL).
            export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
            return 0
        fi
        kill -0 "$KS_XVFB_PID" 2>/dev/null || break
        sleep 0.1
    done
    ks_say "Xvfb did not start:"
    cat "$KS_XVFB_DIR/log" >&2
    ks_stop_xvfb
    return 1
}

ks_stop_xvfb()
{
    ks_stop_process "$KS_XVFB_PID"
    [ -n "$KS_XVFB_DIR" ] && rm -rf "$KS_XVFB_DIR"
    KS_XVFB_PID=""
    KS_XVFB_DIR=""
}
