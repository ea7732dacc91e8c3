#!/bin/sh
# The engine as a game maker gets it: installed into a staging folder in the build tree, the
# snake and cave examples built against it with CMake, the first-game example built as one file
# with pkg-config, and all played on $DISPLAY with real keys until Escape. The cave is walked to
# its far corner, and its window read back shows the view there.
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

for example in snake cave panel; do
    cmake -S "$src/examples/$example" -B "$work/$example" -DCMAKE_PREFIX_PATH="$stage" >/dev/null
    cmake --build "$work/$example"
done

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

# start <folder> <program>: starts the program in its folder and focuses its window ($window).
start()
{
    (cd "$1" && exec "./$2") &
    pid=$!
    # SFML names a window's class after its program.
    window=$(timeout 20 xdotool search --sync --onlyvisible --classname "^$2\$" 2>/dev/null | head -n 1) ||
        fail "$2: no window"
    xdotool windowraise "$window"
    xdotool windowfocus --sync "$window"
}

# finish <program>: presses Escape; the program must exit with 0 within 20 seconds.
finish()
{
    program=$1
    xdotool key Escape
    n=0
    while kill -0 "$pid" 2>/dev/null; do
        n=$((n + 1))
        [ "$n" -le 200 ] || fail "$program: still running 20 s after Escape"
        sleep 0.1
    done
    wait "$pid" || fail "$program: exit status $?"
}

# play <folder> <program> <key...>: starts the program, presses the keys in its window, quits.
play()
{
    start "$1" "$2"
    program=$2
    shift 2
    for key in "$@"; do
        xdotool key --delay 100 "$key"
    done
    finish "$program"
}

# pixels <colour> <geometry>: pixels of exactly that colour in that part of the cave's window now.
pixels()
{
    import -window "$window" -crop "$2" +repage "$work/shot.png"
    convert "$work/shot.png" -format %c histogram:info:- | awk -v c="$1" 'toupper($3) == c { n += $1 } END { print n + 0 }'
}

play "$work/snake" snake Up Left Down
log="$work/snake/Kestrane Log.log"
cat "$log"
grep -qx ' Message : Snake start' "$log" || fail "snake: no start line"
grep -q '^ Message : Snake quit: 3 steering keys' "$log" || fail "snake: its window did not get the three arrow keys"
! grep -v -e '^ Message : Snake ' "$log" || fail "snake: unexpected log lines"

play "$work/first-game" first-game Right
[ ! -s "$work/first-game/Kestrane Log.log" ] || fail "first-game: log lines: $(cat "$work/first-game/Kestrane Log.log")"
# The cave: its status line (cyan) stays on the top row, and its way out (the only magenta)
# shows only once the explorer has walked along the top tunnel and down to the far corner.
start "$work/cave" cave
sleep 1
[ "$(pixels '#00FFFF' 1024x32+0+0)" -gt 100 ] || fail "cave: no status line at the top"
[ "$(pixels '#FF00FF' 1024x768+0+0)" -eq 0 ] || fail "cave: the way out is in view at the start"
xdotool keydown Right
sleep 12
xdotool keyup Right
xdotool keydown Down
n=0
until [ "$(pixels '#FF00FF' 1024x768+0+0)" -gt 100 ]; do
    n=$((n + 1))
    [ "$n" -le 40 ] || fail "cave: the view did not reach the far corner"
    sleep 1
done
sleep 3
xdotool keyup Down
[ "$(pixels '#FF00FF' 480x384+544+384)" -gt 100 ] || fail "cave: the way out is not in the bottom right of the view"
[ "$(pixels '#00FFFF' 1024x32+0+0)" -gt 100 ] || fail "cave: the status line left the top row"
[ "$(pixels '#00FFFF' 1024x736+0+32)" -eq 0 ] || fail "cave: status colours away from the top row"
finish cave
log="$work/cave/Kestrane Log.log"
cat "$log"
! grep -v '^ Message : Cave quit at column' "$log" || fail "cave: unexpected log lines"

echo "installed engine: snake, cave and first-game built and played"
