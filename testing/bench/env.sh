# Sourced by the bench scripts: the environment every Wine process of the bench gets.
#   bench_env PREFIX [ARCH]   exports WINEPREFIX=PREFIX, WINEARCH and a HOME and XDG
#                             folders inside it. A prefix keeps the architecture it was
#                             made with (a 64-bit one has a syswow64 directory); ARCH
#                             (win32, the default, or win64) is for one not made yet.
# Nothing outside PREFIX is written to, ~/.wine included.

bench_env() {
  local prefix arch=${2:-win32}
  prefix=$(realpath -m "$1")
  if [ -d "$prefix/drive_c/windows/syswow64" ]; then
    arch=win64
  elif [ -d "$prefix/drive_c/windows" ]; then
    arch=win32
  fi
  export WINEPREFIX="$prefix" WINEARCH=$arch WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
  export HOME="$prefix/home"
  export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config"
  export XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$HOME/.run"
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

# bench_xvfb WIDTHxHEIGHTxDEPTH
#   starts a virtual screen (Xvfb) on a display number the server picks itself, so
#   that runs side by side never race for one, waits until it accepts connections
#   and exports DISPLAY. bench_xvfb_stop ends it.
bench_xvfb() {
  local number=""
  exec {bench_xvfb_fd}< <(exec Xvfb -displayfd 1 -screen 0 "$1" -nolisten tcp 2>/dev/null)
  bench_xvfb_pid=$!
  # The server writes its display number once it listens; the bound only ends a hang.
  if ! read -r -t 120 -u "$bench_xvfb_fd" number || [ -z "$number" ]; then
    echo "no virtual screen: Xvfb did not start" >&2
    bench_xvfb_stop
    return 1
  fi
  export DISPLAY=":$number"
}

bench_xvfb_stop() {
  if [ -n "${bench_xvfb_pid:-}" ]; then
    kill "$bench_xvfb_pid" 2>/dev/null
    wait "$bench_xvfb_pid" 2>/dev/null
    exec {bench_xvfb_fd}<&-
    bench_xvfb_pid=""
  fi
  return 0
}
