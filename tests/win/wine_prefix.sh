#!/bin/sh
# The Wine prefix of one test run: "create PREFIX" makes it afresh (about 7 s),
# "stop PREFIX" ends its wineserver.
set -e
WINEPREFIX="$2"
WINEDEBUG=-all
WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
case "$1" in
create)
    rm -rf "$WINEPREFIX" "$WINEPREFIX.stderr.log" "$WINEPREFIX.scratch"
    # The note about syswow64\rundll32.exe (no 32-bit Wine here) is harmless.
    /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
    # The registry files are written when the server ends.
    /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1
    test -f "$WINEPREFIX/system.reg"
    ;;
stop)
    /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
*)
    echo "usage: $0 create|stop PREFIX" >&2
    exit 2
    ;;
esac
