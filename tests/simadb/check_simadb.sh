#!/bin/sh
# Drives the simulated adb the way the app does, through /bin/sh -c, and checks what it answers.
# Usage: check_simadb.sh <built adb>
set -u
adb=$1
profiles=$(cd "$(dirname "$0")/../data/profiles" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
unset TELVANE_SIM_PROFILE TELVANE_SIM_LOG TELVANE_SIM_DELAY_MS

# run PROFILE LINE: runs '"<adb>" LINE' with that profile ("" = none) and keeps out, err and code in $work.
run() {
    if [ -n "$1" ]; then
        TELVANE_SIM_PROFILE=$1 /bin/sh -c "\"$adb\" $2" >"$work/out" 2>"$work/err"
    else
        /bin/sh -c "\"$adb\" $2" >"$work/out" 2>"$work/err"
    fi
    code=$?
}
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# expect WHAT CODE OUT ERR: OUT and ERR are files to compare byte for byte, or /dev/null.
expect() {
    [ "$code" -eq "$2" ] || fail "$1: exit code $code, wanted $2"
    cmp -s "$work/out" "$3" || fail "$1: stdout differs from $3"
    cmp -s "$work/err" "$4" || fail "$1: stderr differs from $4"
}
text() {
    printf '%s\n' "$1" >"$work/want"
    echo "$work/want"
}

photos="shell su -c \"find /storage/emulated/0 -type f -iregex '.*.\\(jpg\\|jpeg\\|png\\|gif\\|webp\\|heic\\)' | wc -l\""
videos="shell su -c \"find /storage/emulated/0 -type f -iregex '.*.\\(mp4\\|mov\\|avi\\|webm\\|3gp\\|mkv\\)' | wc -l\""
slug=shell-su-c-find-storage-emulated-0-type-f-iregex-jpg-jpeg-png-gif-webp-heic-wc-l

# Every line the app sends gets a recorded answer from the modern phone.
while IFS= read -r line; do
    run modern "$line"
    if [ ! -s "$work/out" ] || [ "$code" -eq 127 ]; then
        fail "modern does not answer: $line"
    fi
done <<LINES
devices
shell dumpsys battery
shell dumpsys thermalservice
shell dumpsys sensorservice
shell dumpsys cpuinfo
shell getprop
shell dumpsys wifi
shell pm list packages -3 -f
shell pm list packages -f
shell pm list packages -f -s
shell df -h
shell df
shell du -sh /data/app
shell du -sh /storage/emulated/0/DCIM
shell du -sh /storage/emulated/0/Download
shell du -sh /storage/emulated/0/Pictures
shell du -sh /storage/emulated/0/Movies
$photos
$videos
LINES

# Answers come back byte for byte, with their own exit codes.
run modern devices
expect "modern devices" 0 "$profiles/modern/devices.out" /dev/null
run oldos "shell df"
expect "oldos CR LF df" 0 "$profiles/oldos/shell-df.out" /dev/null
run modern "shell du -sh /data/app"
expect "du with complaints" 1 "$profiles/modern/shell-du-sh-data-app.out" "$profiles/modern/shell-du-sh-data-app.err"
run modern "$photos"
expect "root photo count" 0 "$(text 1234)" /dev/null
run noroot "$photos"
expect "photo count without su" 127 /dev/null "$profiles/noroot/$slug.err"

# Inherited answers, then the profile's catch-all; the server commands never reach the catch-all.
run noroot "shell getprop"
expect "noroot inherits getprop" 0 "$profiles/modern/shell-getprop.out" /dev/null
run unauthorized devices
expect "unauthorized devices" 0 "$profiles/unauthorized/devices.out" /dev/null
run unauthorized "shell getprop"
expect "unauthorized catch-all" 1 /dev/null "$profiles/unauthorized/_default.err"
run unauthorized start-server
expect "start-server" 0 /dev/null /dev/null

# Without any answer: what a phone's shell or adb itself would say.
run modern "shell frobnicate --now"
expect "unknown shell command" 127 /dev/null "$(text '/system/bin/sh: frobnicate: inaccessible or not found')"
run modern "frobnicate --now"
expect "unknown adb command" 1 /dev/null "$(text 'adb: unknown command frobnicate')"

# Several phones: -s picks one, an unknown serial is not found, a phone command without -s is refused.
run twophones "-s TLV20A7F3C91 shell df"
expect "-s picks a phone" 0 "$profiles/oldos/shell-df.out" /dev/null
run twophones "shell df"
expect "several phones without -s" 1 /dev/null "$(text 'adb: more than one device/emulator')"
run twophones "-s NOPE shell df"
expect "unknown serial" 1 /dev/null "$(text "adb: device 'NOPE' not found")"
run sameserial "-t 2 shell getprop"
expect "-t picks a phone" 0 "$profiles/modern/shell-getprop.out" /dev/null
run modern "-s TLV0A1B2C3D4 shell getprop"
expect "-s with a single phone" 0 "$profiles/modern/shell-getprop.out" /dev/null

# A slow phone: .wait before the answer, .hang never ends until killed.
start=$(date +%s%N)
run slowphone "shell getprop"
[ $(( ($(date +%s%N) - start) / 1000000 )) -ge 1400 ] || fail "slowphone answered without waiting"
TELVANE_SIM_PROFILE=stuck timeout 1 "$adb" shell df >"$work/out" 2>/dev/null
code=$?
[ "$code" -eq 124 ] || fail "stuck: exit code $code, wanted the timeout's 124"
cmp -s "$work/out" "$profiles/modern/shell-df.out" || fail "stuck: its output before hanging differs"

# The log holds each command line as the simulator received it.
TELVANE_SIM_LOG=$work/log run modern devices
TELVANE_SIM_LOG=$work/log run modern "$videos"
printf '%s\n' devices "shell su -c find /storage/emulated/0 -type f -iregex '.*.\\(mp4\\|mov\\|avi\\|webm\\|3gp\\|mkv\\)' | wc -l" >"$work/want"
cmp -s "$work/log" "$work/want" || fail "log differs: $(cat "$work/log")"

# Profile choice: adb.profile beside the executable, overridden by the environment.
mkdir "$work/bin" && cp "$adb" "$work/bin/adb" && echo nophone >"$work/bin/adb.profile"
adb=$work/bin/adb
run "" devices
expect "adb.profile" 0 "$profiles/nophone/devices.out" /dev/null
run offline devices
expect "environment over adb.profile" 0 "$profiles/offline/devices.out" /dev/null

# Profiles outside the profiles dir: a loop in _inherit ends, a missing name falls back to the profiles dir.
mkdir -p "$work/p/a" "$work/p/b" "$work/p/c"
echo b >"$work/p/a/_inherit" && echo a >"$work/p/b/_inherit" && echo modern >"$work/p/c/_inherit"
TELVANE_SIM_PROFILE=$work/p/a timeout 10 "$adb" shell getprop 2>/dev/null
code=$?
[ "$code" -eq 127 ] || fail "_inherit loop: exit code $code"
run "$work/p/c" "shell dumpsys battery"
expect "_inherit from the profiles dir" 0 "$profiles/modern/shell-dumpsys-battery.out" /dev/null
run "$work/p/none" devices
[ "$code" -eq 2 ] || fail "missing profile: exit code $code"

# Wireless: the state folder remembers the phones connected, the restart in TCP mode, the scanned QR code.
export TELVANE_SIM_STATE="$work/state" && mkdir "$TELVANE_SIM_STATE"
run wireless "-s TLV0A1B2C3D4 tcpip 5555"
expect "tcpip" 0 "$(text 'restarting in TCP mode port: 5555')" /dev/null
run wireless "connect 192.168.1.20:5555"
expect "refused while restarting" 1 "$(text "failed to connect to '192.168.1.20:5555': Connection refused")" /dev/null
run wireless "connect 192.168.1.20:5555"
expect "connected" 0 "$(text 'connected to 192.168.1.20:5555')" /dev/null
run wireless "-s 192.168.1.20:5555 shell df"
expect "-s to the Wi-Fi phone" 0 "$profiles/modern/shell-df.out" /dev/null
printf 'List of devices attached\nTLV0A1B2C3D4\tdevice\n192.168.1.20:5555\tdevice\n\n' >"$work/want"
run wireless devices
expect "listed over Wi-Fi" 0 "$work/want" /dev/null
run wireless "pair 192.168.1.20:37099 482916"
expect "the phone's code" 0 "$profiles/wireless/pair.out" /dev/null
echo 'WIFI:T:ADB;S:telvane-abc123;P:Pw0;;' >"$TELVANE_SIM_STATE/scanned"
run wireless "pair 192.168.1.20:37099 482916"
expect "once scanned, the QR password only" 1 /dev/null "$profiles/wireless/pair-failed.err"
run wireless "mdns services" && run wireless "mdns services"
grep -q telvane "$work/out" && fail "pairing service before the third poll"
run wireless "mdns services"
tail -n 1 "$work/out" | grep -qx 'telvane-abc123	_adb-tls-pairing._tcp	192.168.1.20:37099' || fail "no pairing service"
run wireless "disconnect 192.168.1.99:5555"
expect "disconnect a stranger" 1 /dev/null "$profiles/wireless/disconnect-192-168-1-99-5555.err"
unset TELVANE_SIM_STATE

[ "$failures" -eq 0 ] && echo "simadb: all checks passed"
[ "$failures" -eq 0 ]
