#!/usr/bin/env bash
# stop-all.sh WINEDIR
# Stops every wineserver still running for the bench prefixes under WINEDIR.
for p in "$1"/base "$1"/base64 "$1"/runs/*/prefix; do
  [ -d "$p" ] && WINEPREFIX="$p" wineserver -k 2>/dev/null
done
exit 0
