#!/usr/bin/env bash
# wine_run.sh PREFIX PROGRAM [ARGS...]
# Runs a Windows program of the cross build under wine64, in the wine prefix
# PREFIX (kept in the build directory), quietly, and exits with the program's
# status.  The prefix is created once, under a lock, so tests that start
# together do not initialise it twice.
set -u
export WINEPREFIX=$1
shift
export WINEDEBUG=-all
# No Mono or Gecko installers: the programs are plain console programs.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ -x /usr/lib/wine/wine64 ]; then
  wine=/usr/lib/wine/wine64  # Debian's wine64 without the wine32 hint of /usr/bin/wine
  export WINELOADER=$wine
else
  wine=$(command -v wine64 || command -v wine)
fi
if [ ! -f "$WINEPREFIX/.gatebox-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.gatebox-ready" ]; then
      # wineboot returns once the prefix is set up (the server saves the
      # registry to disk when it exits; no need to wait for that here).
      if ! "$wine" wineboot --init >"$WINEPREFIX.log" 2>&1; then
        echo "wine_run.sh: cannot set up the wine prefix $WINEPREFIX:" >&2
        tail -20 "$WINEPREFIX.log" >&2
        exit 1
      fi
      touch "$WINEPREFIX/.gatebox-ready"
    fi
  ) 9>"$WINEPREFIX.lock" || exit 1
fi
exec "$wine" "$@"
