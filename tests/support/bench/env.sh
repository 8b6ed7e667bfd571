# Sourced by the bench scripts: the environment every Wine process of the bench gets.
#   bench_env PREFIX   exports WINEPREFIX=PREFIX and a HOME and XDG folders inside it.
# Nothing outside PREFIX is written to, ~/.wine included.

bench_env() {
  local prefix
  prefix=$(realpath -m "$1")
  export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export LANG=ko_KR.UTF-8 LC_ALL=ko_KR.UTF-8
  export HOME="$prefix/home"
  export XDG_DATA_HOME="$HOME/.local/share" XDG_CONFIG_HOME="$HOME/.config"
  export XDG_CACHE_HOME="$HOME/.cache" XDG_RUNTIME_DIR="$HOME/.run"
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}
