#!/bin/sh
# A guided run of the demo game without a desktop: the game plays on a private virtual X display (Xvfb)
# with SDL's disk audio driver, Escape is pressed for you with xdotool as a player would (once the title
# has scrolled a while, then again after some seconds of the level), and what the X server showed and
# what the game played are saved in OUT_DIR: logo.png, title-1.png, title-2.png, level-1.png, level-2.png
# and sound.wav.
#
# Usage: tools/tour.sh [BUILD_DIR] [OUT_DIR]        (defaults: build, BUILD_DIR/tour)
# Timing (seconds, from the moment the window appears): TOUR_TITLE_SECONDS (12) before the first
# Escape, TOUR_LEVEL_SECONDS (8) in the level before the second; TOUR_LOAD_SECONDS (4) is allowed for
# loading before the level's first picture.
# Needs the packages tools/install-deps.sh installs (xvfb, xdotool) and the built game and
# vanta-screenshot. Exit status: the game's, or 1 when the tour itself cannot run.
set -eu

build=${1:-build}
out=${2:-$build/tour}
game=$build/bin/vantamax
shot=$build/bin/vanta-screenshot
title_seconds=${TOUR_TITLE_SECONDS:-12}
level_seconds=${TOUR_LEVEL_SECONDS:-8}
load_seconds=${TOUR_LOAD_SECONDS:-4}

fail() {
    echo "tour: $*" >&2
    exit 1
}

for program in Xvfb xdotool; do
    command -v "$program" >/dev/null 2>&1 || fail "$program is missing: run tools/install-deps.sh"
done
[ -x "$game" ] || fail "$game is not built"
[ -x "$shot" ] || fail "$shot is not built"
mkdir -p "$out"
# The game makes its own directory the working directory, so every path it is given must be absolute.
out=$(cd "$out" && pwd)
rm -f "$out"/*.png "$out/sound.wav" "$out/sound.raw" "$out/game.log"

server=""
game_pid=""
cleanup() {
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then kill "$game_pid" 2>/dev/null || true; fi
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        # Gone before the next tour can look for a free display.
        wait "$server" 2>/dev/null || true
    fi
    rm -f "$out/.display"
}
trap cleanup EXIT INT TERM

# Xvfb picks a free display number itself and writes it once it accepts connections, so no other
# server (one still going down, say) can answer in its place. With -noreset it stays as it is when its last
# client leaves: a server that resets then drops the connections that arrive meanwhile, and the game,
# connecting while an xdotool look-up ends, could find no display.
: >"$out/.display"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$out/.display" >/dev/null 2>&1 &
server=$!
tries=0
until [ -s "$out/.display" ]; do
    tries=$((tries + 1))
    [ "$tries" -lt 100 ] || fail "Xvfb did not come up"
    kill -0 "$server" 2>/dev/null || fail "Xvfb could not start"
    sleep 0.1
done
export DISPLAY=":$(cat "$out/.display")"
unset WAYLAND_DISPLAY

raw="$out/sound.raw"
# The game's own messages go to a log (SDL announces its disk driver there too).
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$raw" "$game" 2>"$out/game.log" &
game_pid=$!

# The window: its title is the program's.
window=""
tries=0
while [ -z "$window" ]; do
    window=$(xdotool search --name '^VantaMax Application$' 2>/dev/null | head -n 1 || true)
    tries=$((tries + 1))
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
    [ "$tries" -lt 300 ] || fail "the game's window did not appear within 30 seconds"
    [ -n "$window" ] || sleep 0.1
done

take() {
    if "$shot" "$window" "$out/$1" 2>/dev/null; then
        saved="$saved $out/$1"
    else
        echo "tour: could not take $1" >&2
    fi
}

press_escape() {
    # The keyboard goes to the window that has the focus, as it would for a player at the desktop.
    xdotool windowfocus "$window" 2>/dev/null || true
    xdotool key Escape
}

saved=""
# The logo lasts 100 frames (about 1.7 seconds at 60 frames per second).
sleep 0.8
take logo.png
sleep 3.2
take title-1.png
sleep 5
take title-2.png
sleep $((title_seconds - 9))
press_escape
sleep "$load_seconds"
take level-1.png
sleep 3
take level-2.png
sleep $((level_seconds - 3))
press_escape

# The game ends at the second Escape; give it a moment.
status=""
tries=0
while kill -0 "$game_pid" 2>/dev/null; do
    tries=$((tries + 1))
    if [ "$tries" -ge 150 ]; then
        echo "tour: the game did not end after the second Escape; stopping it" >&2
        kill "$game_pid" 2>/dev/null || true
        break
    fi
    sleep 0.1
done
set +e
wait "$game_pid"
status=$?
set -e
game_pid=""

# The disk driver wrote the device's samples as they were played: 44 100 Hz, stereo, 16-bit little-endian.
# A WAV header in front of them makes them playable anywhere.
if [ -s "$raw" ]; then
    size=$(wc -c <"$raw")
    le32() { printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }
    le16() { printf "$(printf '\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)))"; }
    {
        printf 'RIFF'; le32 $((size + 36)); printf 'WAVEfmt '
        le32 16; le16 1; le16 2; le32 44100; le32 $((44100 * 4)); le16 4; le16 16
        printf 'data'; le32 "$size"
        cat "$raw"
    } >"$out/sound.wav"
    rm -f "$raw"
    saved="$saved $out/sound.wav"
fi

echo "The tour saved:"
for file in $saved; do
    echo "  $file"
done
echo "The game exited with status $status."
# Anything the game said beyond SDL's notice about the disk driver.
if grep -v -e 'SDL disk i/o audio driver' -e 'Writing to file' "$out/game.log" 2>/dev/null | grep -q .; then
    echo "It wrote to its error output ($out/game.log):"
    grep -v -e 'SDL disk i/o audio driver' -e 'Writing to file' "$out/game.log" | sed 's/^/  /'
fi
exit "$status"
