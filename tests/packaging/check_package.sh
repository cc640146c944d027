#!/bin/sh
# Builds the Debian package from the build tree and checks it with Debian's own tools, then starts the unpacked
# telvane under an Xvfb of its own, with the simulated adb first on the PATH, and clicks Connect; telvane-cli
# gives its version and its bash completion completes.
# Usage: check_package.sh <build dir> <version> <simulated adb>
set -u
dist=$(cd "$(dirname "$0")/../../dist" && pwd)
work=$(mktemp -d)
app="" xvfb="" window=""
trap 'kill $app $xvfb 2>/dev/null; wait; rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# within SECONDS COMMAND...: runs the command every half second until it succeeds or the time is up.
within() {
    end=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -lt "$end" ] || return 1
        sleep 0.5
    done
}

desktop-file-validate "$dist/net.telvane.Telvane.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$dist/net.telvane.Telvane.metainfo.xml" || fail "appstreamcli validate"

deb=$work/telvane_$2_$(dpkg --print-architecture).deb
cpack --config "$1/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1
[ -f "$deb" ] || { cat "$work/cpack.log"; fail "no package $deb"; exit 1; }
lintian --fail-on error "$deb" || fail "lintian"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $2, $6 }' | LC_ALL=C sort >"$work/contents"
{
    echo "-rwxr-xr-x root/root ./usr/bin/telvane"
    echo "-rwxr-xr-x root/root ./usr/bin/telvane-cli"
    for f in applications/net.telvane.Telvane.desktop metainfo/net.telvane.Telvane.metainfo.xml \
        doc/telvane/changelog.gz doc/telvane/copyright man/man1/telvane.1.gz man/man1/telvane-cli.1.gz \
        bash-completion/completions/telvane-cli icons/hicolor/scalable/apps/net.telvane.Telvane.svg; do
        echo "-rw-r--r-- root/root ./usr/share/$f"
    done
    for s in 16 24 32 48 64 128 256; do
        echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${s}x$s/apps/net.telvane.Telvane.png"
    done
} | LC_ALL=C sort >"$work/want"
diff "$work/want" "$work/contents" || fail "package contents"
for dep in adb qt6-qpa-plugins fonts-dejavu-core fonts-noto-color-emoji; do
    dpkg-deb -f "$deb" Depends | tr -d ' ' | tr , '\n' | grep -qx "$dep" || fail "no dependency on $dep"
done

# Only the fonts it depends on, for the checks and the app below: each non-ASCII character of our sources has them.
mkdir "$work/fonts"
dpkg -L fonts-dejavu-core fonts-noto-color-emoji | grep -E '\.(ttf|otf)$' | xargs ln -s -t "$work/fonts"
printf '<fontconfig><dir>%s</dir><cachedir>%s</cachedir></fontconfig>\n' "$work/fonts" "$work/cache" >"$work/fonts.conf"
export FONTCONFIG_FILE="$work/fonts.conf"
for c in $(cat "$dist"/../app/*.* "$dist"/../base/*.* "$dist"/../ui/*.* "$dist"/../bridge/*.* "$dist"/../reports/*.* "$dist"/../storage/*.* \
    "$dist"/../apps/*.* "$dist"/../update/*.* "$dist"/../wifi/*.* | perl -CSD -ne 'printf "%X\n", ord for /[^\x00-\x7F]/g' | sort -u); do
    [ -n "$(fc-list ":charset=$c")" ] || fail "no font of the package's dependencies has U+$c"
done

dpkg-deb -x "$deb" "$work/root"
# The console program needs no display; its completion needs nothing from the bash-completion package.
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/telvane-cli" --version)" = "telvane-cli $2" ] ||
    fail "telvane-cli --version"
[ "$(bash -c '. "$1"; COMP_WORDS=(telvane-cli --l); COMP_CWORD=1; _telvane_cli; echo "${COMPREPLY[*]}"' sh \
    "$work/root/usr/share/bash-completion/completions/telvane-cli")" = "--lang --legacy" ] || fail "completion"

# The unpacked program, with no adb beside it, finds the simulated one first on the PATH.
mkdir "$work/bin" "$work/home"
cp "$3" "$work/bin/adb"
# -noreset: without it the server resets whenever its last client leaves, dropping a client that connects meanwhile.
Xvfb -displayfd 5 -noreset -nolisten tcp -screen 0 1280x800x24 5>"$work/display" 2>/dev/null &
xvfb=$!
within 30 test -s "$work/display" || { fail "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$work/display")
env -u QT_QPA_PLATFORM -u TELVANE_SIM_PROFILE -u XDG_CONFIG_HOME HOME="$work/home" PATH="$work/bin:$PATH" \
    TELVANE_SIM_LOG="$work/adb.log" "$work/root/usr/bin/telvane" >"$work/app.log" 2>&1 &
app=$!

# The update check cannot reach its server here: its error box comes before the window, up to 10 s after start.
window_up() {
    kill -0 "$app" 2>/dev/null || return 0
    box=$(xdotool search --onlyvisible --name '^Telvane$' | head -n 1)
    [ -z "$box" ] || xdotool windowfocus "$box" key Return
    window=$(xdotool search --onlyvisible --name '^Telvane V' | head -n 1)
    [ -z "$box" ] && [ -n "$window" ]
}
within 90 window_up && [ -n "$window" ] || { cat "$work/app.log"; fail "no window"; exit 1; }
xdotool mousemove --window "$window" 192 515 click 1
within 30 grep -qx devices "$work/adb.log" || fail "adb was not asked for its devices"
within 10 test -d "$work/home/Desktop/Telvane" || fail "no output folder after Connect"
success_shown() {
    xdotool mousemove --window "$window" 300 200 click 1 key ctrl+a ctrl+c
    xclip -o -selection clipboard 2>/dev/null | grep -q "ADB CONNECTION: Success!"
}
within 20 success_shown || fail "no success line in the log"
kill -0 "$app" || fail "telvane ended"

[ "$failures" -eq 0 ] && echo "check_package: all checks passed"
[ "$failures" -eq 0 ]
