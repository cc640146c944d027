#!/bin/sh
# Reads the import table of every program and DLL in the Windows zip; each imported DLL must be in the zip
# or be one that every Windows 10 and 11 has; telvane-cli.exe is a console program without Qt's GUI.
# Usage: check_imports.sh ZIP
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unzip -q "$1" -d "$work" || exit 1
system="advapi32 authz bcrypt comctl32 comdlg32 crypt32 d3d11 d3d9 dnsapi dwmapi dwrite dxgi gdi32 imm32 iphlpapi
kernel32 mpr msvcrt netapi32 ole32 oleaut32 secur32 setupapi shcore shell32 shlwapi user32 userenv uxtheme version
winhttp winmm ws2_32 wtsapi32"
present=$(find "$work" -iname '*.dll' -exec basename {} \; | tr 'A-Z' 'a-z')
failures=0 files=0
for f in $(find "$work" -iname '*.exe' -o -iname '*.dll'); do
    files=$((files + 1))
    for dll in $(x86_64-w64-mingw32-objdump -p "$f" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
        case " $(echo $system) " in *" ${dll%.dll} "*) continue ;; esac
        case "$dll" in api-ms-win-*) continue ;; esac
        echo "$present" | grep -qx "$dll" && continue
        echo "FAIL: ${f#$work/} imports $dll, which is neither in the zip nor part of Windows"
        failures=$((failures + 1))
    done
done
cli=$(x86_64-w64-mingw32-objdump -p "$(find "$work" -name telvane-cli.exe)" 2>/dev/null)
echo "$cli" | grep -q '(Windows CUI)$' && ! echo "$cli" | grep -qi 'DLL Name: Qt6\(Gui\|Widgets\)' ||
    { echo "FAIL: telvane-cli.exe is missing, not a console program or loads Qt's GUI"; failures=$((failures + 1)); }
# qrcodegen is a static library, linked into the programs: it adds no DLL (one would have to be in the zip, as
# the loop above checks), only its licence.
find "$work" -iname '*qrcodegen*.dll' | grep -q . && { echo "FAIL: a qrcodegen DLL in the zip"; failures=$((failures + 1)); }
[ -f "$(find "$work" -name LICENSE-qrcodegen.txt)" ] || { echo "FAIL: no LICENSE-qrcodegen.txt"; failures=$((failures + 1)); }
[ "$files" -ge 8 ] || { echo "FAIL: only $files programs and DLLs in the zip"; exit 1; }
echo "$files programs and DLLs checked, $failures failures"
[ "$failures" -eq 0 ]
