#!/bin/sh
# Runs one Windows program of the cross-built tree under Wine, headless and quiet. The caller (the test's
# environment, or the Makefile) names the Wine prefix and the folders of the DLLs in WINEPREFIX and WINEPATH.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Debian ships the 64-bit loader here; "wine" would first complain that the 32-bit one is missing.
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
# Without Wine's preloader (Debian has none) the kernel puts a program's heap anywhere in the gigabyte above
# the loader, and once in several thousand starts it covers the page where Wine maps its shared data: "failed
# to map the shared user data", and the program never runs (an adb.exe that answers nothing, in a test run
# that starts thousands). Without address randomisation, which the programs Wine starts inherit, it never does.
norandom="setarch $(uname -m) -R"
case "$(basename "$1")" in
tst_*.exe)
    # Wine passes no QT_* variable on, so a test with windows gets the platform on its command line; and a
    # test program with no console sends its log to the debugger, so it writes a file instead.
    platform=""
    grep -q QApplicationC1 "$1" && platform=${QT_QPA_PLATFORM:-}
    # Its own output goes to a file too: a console host Wine starts for a program the test starts may
    # outlive it, and would hold the caller's pipe open.
    log=$(mktemp)
    out=$(mktemp)
    $norandom "$wine" "$@" ${platform:+-platform "$platform"} -o "Z:$log,txt" >"$out" 2>&1 </dev/null
    status=$?
    cat "$out" "$log"
    rm -f "$log" "$out"
    exit $status
    ;;
esac
exec $norandom "$wine" "$@"
