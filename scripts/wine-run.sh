#!/bin/sh
# Runs one Windows program of the cross-built tree under Wine, headless and quiet. The caller (the test's
# environment, or the Makefile) names the Wine prefix and the folders of the DLLs in WINEPREFIX and WINEPATH.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Debian ships the 64-bit loader here; "wine" would first complain that the 32-bit one is missing.
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
case "$(basename "$1")" in
tst_*.exe)
    # Wine passes no QT_* variable on, so a test with windows gets the platform on its command line; and a
    # test program with no console sends its log to the debugger, so it writes a file instead.
    platform=""
    grep -q QApplicationC1 "$1" && platform=${QT_QPA_PLATFORM:-}
    log=$(mktemp)
    "$wine" "$@" ${platform:+-platform "$platform"} -o "Z:$log,txt"
    status=$?
    cat "$log"
    rm -f "$log"
    exit $status
    ;;
esac
exec "$wine" "$@"
