#!/bin/sh
# `make run` and `make tour` build only what they start, with a display and without one: every build
# step they would take (`make -n`) names its targets, and those are the game and the tour's screenshot
# tool, both of which the build still defines.
# Usage: MakeRunTargets_test.sh SOURCE_DIR BUILD_DIR
set -eu
source_dir=$1
build_dir=$2
allowed="vantamax_game vanta-screenshot"
failed=0

check() {
    label=$1
    goal=$2
    shift 2
    # The rest: how the environment differs (env's own arguments).
    steps=$(env -u WAYLAND_DISPLAY "$@" make -s -n -C "$source_dir" BUILD="$build_dir" "$goal" |
        grep 'cmake --build' || true)
    if [ -z "$steps" ]; then
        echo "FAIL $label: no build step at all"
        failed=1
        return
    fi
    echo "$steps" | while IFS= read -r step; do
        case "$step" in
        *--target*) ;;
        *)
            echo "FAIL $label builds everything: $step"
            exit 1
            ;;
        esac
        for target in ${step##*--target}; do
            case "$target" in
            "&&" | "\\") break ;;
            esac
            case " $allowed " in
            *" $target "*) ;;
            *)
                echo "FAIL $label builds $target: $step"
                exit 1
                ;;
            esac
        done
    done || failed=1
}

check "make run (no display)" run -u DISPLAY
check "make run (display)" run DISPLAY=:99
check "make tour" tour

# The names must still be the build's: a renamed target would make the steps above fail to build.
targets=$(cmake --build "$build_dir" --target help)
for target in $allowed; do
    if ! echo "$targets" | grep -q "^\.\.\. $target\$"; then
        echo "FAIL the build has no target $target"
        failed=1
    fi
done

[ "$failed" -eq 0 ] && echo "make run and make tour build only: $allowed"
exit "$failed"
