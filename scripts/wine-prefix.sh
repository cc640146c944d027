#!/bin/sh
# Makes a Wine prefix for the Windows tests once (Wine's first start takes a while), and keeps its server
# running so that every test program and simulated adb starts quickly. Usage: wine-prefix.sh PREFIX
set -eu
# Wine takes only an absolute prefix.
mkdir -p "$1"
export WINEPREFIX="$(cd "$1" && pwd)" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/user.reg" ]; then
    echo "Making the Wine prefix $WINEPREFIX"
    # With a HOME of its own, the prefix's desktop is a folder of its own, not a link to the user's.
    mkdir -p "$WINEPREFIX/home"
    HOME="$WINEPREFIX/home" wineboot --init >/dev/null 2>&1
    # Wine puts its own profile folder in for %USERPROFILE%; through these two a test gives itself a desktop.
    "$wine" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' /v Desktop \
        /t REG_EXPAND_SZ /d '%HOMEDRIVE%%HOMEPATH%\Desktop' /f >/dev/null 2>&1
fi
# A server still running from the lines above (or from an earlier run) is made to stay instead.
wineserver -k 2>/dev/null || true
wineserver -p >/dev/null 2>&1 </dev/null
# The session's own processes start now, not under the first test, whose output they would hold open.
wineboot >/dev/null 2>&1 </dev/null
