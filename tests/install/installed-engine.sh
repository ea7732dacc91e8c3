#!/bin/sh
# The engine as a game maker gets it: installed into a staging folder in the build tree, the
# snake example built against it with CMake, the first-game example built as one file with
# pkg-config, and both played on $DISPLAY with real keys until Escape.
#   installed-engine.sh <build dir> <source dir> [sanitize]
set -eu
build=$1
src=$2
if [ "${3:-}" = sanitize ]; then
    # Exit status 77 tells ctest the test was skipped.
    echo "skipped: this build's engine is instrumented, and a game built outside the tree has no sanitizer runtime"
    exit 77
fi
work="$build/installed-engine"
stage="$work/stage"

fail()
{
    echo "FAIL: $*" >&2
    [ -z "${pid:-}" ] || kill "$pid" 2>/dev/null || true
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$stage" --component dev >/dev/null
# The library's part holds the library, headers, CMake and pkg-config files and docs only.
stray=$(find "$stage" -type f ! -name '*.a' ! -name '*.h' ! -name '*.cmake' ! -name '*.pc' \
    ! -path '*/share/doc/*' ! -name kestrane-sprite)
[ -z "$stray" ] || fail "unexpected files installed: $stray"
[ -f "$stage/include/kestrane/Object.h" ] || fail "no include/kestrane/Object.h"

cmake -S "$src/examples/snake" -B "$work/snake" -DCMAKE_PREFIX_PATH="$stage" >/dev/null
cmake --build "$work/snake"

# The first game's CMakeLists.txt, which the README shows, configures and fills its folder.
cmake -S "$src/examples/first-game" -B "$work/first-game-cmake" -DCMAKE_PREFIX_PATH="$stage" >/dev/null
[ -f "$work/first-game-cmake/ks-font.ttf" ] && [ -f "$work/first-game-cmake/ship-spr.txt" ] ||
    fail "first-game: CMake did not put the font and the sprite beside the program"

pc=$(dirname "$(find "$stage" -name kestrane.pc)")
mkdir -p "$work/first-game"
cp "$src/examples/first-game/ship-spr.txt" "$work/snake/ks-font.ttf" "$work/first-game/"
# shellcheck disable=SC2046
c++ -std=c++17 -o "$work/first-game/first-game" "$src/examples/first-game/game.cpp" \
    $(PKG_CONFIG_PATH="$pc" pkg-config --cflags --libs kestrane)

# play <folder> <program> <key...>: starts the program in its folder, presses the keys in its
# window, then Escape; it must exit with 0 within 20 seconds.
play()
{
    dir=$1
    program=$2
    shift 2
    (cd "$dir" && exec "./$program") &
    pid=$!
    # SFML names a window's class after its program.
    window=$(timeout 20 xdotool search --sync --onlyvisible --classname "^$program\$" 2>/dev/null | head -n 1) ||
        fail "$program: no window"
    xdotool windowraise "$window"
    xdotool windowfocus --sync "$window"
    for key in "$@" Escape; do
        xdotool key --delay 100 "$key"
    done
    n=0
    while kill -0 "$pid" 2>/dev/null; do
        n=$((n + 1))
        [ "$n" -le 200 ] || fail "$program: still running 20 s after Escape"
        sleep 0.1
    done
    wait "$pid" || fail "$program: exit status $?"
}

play "$work/snake" snake Up Left Down
log="$work/snake/Kestrane Log.log"
cat "$log"
grep -qx ' Message : Snake start' "$log" || fail "snake: no start line"
grep -q '^ Message : Snake quit: 3 steering keys' "$log" || fail "snake: its window did not get the three arrow keys"
! grep -v -e '^ Message : Snake ' "$log" || fail "snake: unexpected log lines"

play "$work/first-game" first-game Right
[ ! -s "$work/first-game/Kestrane Log.log" ] || fail "first-game: log lines: $(cat "$work/first-game/Kestrane Log.log")"
echo "installed engine: snake and first-game built and played"
