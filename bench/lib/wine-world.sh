# Sourced by the benchmarks that run the built program under Wine: a work
# folder, a fresh Wine prefix made from the tests' template, a display, the
# reference site on loopback, and their clean-up. Sets: work, port,
# server_pid; defines received, wine_path, pid_in_prefix, cpu_of, rss_mb_of.
# The caller is at the repository's root with `set -euo pipefail`.

work=$(mktemp -d /tmp/hb-bench.XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
server_pid="" xvfb_pid="" other_prefixes=()
cleanup() {
  local status=$? prefix
  wineserver -k >/dev/null 2>&1 || true   # this prefix's processes only
  for prefix in "${other_prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true; done
  [ -n "$server_pid" ] && tools/serve stop "$server_pid"
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  fdfile=$work/display
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
  export DISPLAY=":$(head -n1 "$fdfile")"
fi

mkdir -p "$work/site"
printf '{"accounts": {"officer": "hoard-bench"}}' >"$work/site/site.json"
read -r port server_pid < <(tools/serve start --data "$work/site" --log "$work/site.log")

# A prefix made from the same template the tests use.
make_prefix() { HB_KEEP_PREFIX=$1 scripts/wine-run cmd /c exit >/dev/null 2>&1 || true; }
make_prefix "$WINEPREFIX"

# How many uploads the site has received.
received() { { find "$work/site/received" -name meta.json 2>/dev/null || true; } | wc -l; }
wine_path() { echo "Z:${1//\//\\}"; }
# The process of a prefix (default this one) whose command line matches.
pid_in_prefix() {
  local name=$1 prefix=${2:-$WINEPREFIX} pid
  for pid in $(pgrep -f -- "$name"); do
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$prefix"; then
      echo "$pid"
      return
    fi
  done
}
# CPU seconds of a process, summed over its threads (the scheduler's
# nanoseconds, finer than the 10 ms ticks of /proc/PID/stat).
cpu_of() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ ns += $1 } END { printf "%.3f\n", ns / 1e9 }'; }
rss_mb_of() { awk '/^VmRSS:/ { printf "%.1f\n", $2 / 1024 }' "/proc/$1/status"; }

# Starts the program in its folder with settings that log in by themselves
# to the reference site, for the game folder given.
start_program() {
  local program=$1 game=$2
  printf 'officer\r\n127.0.0.1:%s\r\nhoard-bench\r\n' "$port" >"$program/settings.txt"
  wine reg add 'HKLM\Software\Blizzard Entertainment\World of Warcraft' /v InstallPath /t REG_SZ \
    /d "$(wine_path "$game")\\" /f /reg:32 >/dev/null 2>&1
  (cd "$program" && wine HoardbookUploader.exe >/dev/null 2>&1 &)
}
# Waits until the site has received at least COUNT uploads; false after SECONDS.
wait_for_received() {
  local count=$1 seconds=$2 _
  for _ in $(seq 1 $((seconds * 10))); do
    [ "$(received)" -ge "$count" ] && return 0
    sleep 0.1
  done
  return 1
}
