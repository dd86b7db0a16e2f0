#!/bin/sh
# run-with-unwritable-state.sh <larkvale program>
# Starts the real program as an ordinary user whose state folder can't be
# written, in each way that happens: a folder of mode 0500, one owned by
# someone else, a full disk, a read-only mount and a read-only home; each
# with a usable runtime folder and without one. In every case the program
# must start and keep running, a second launch must hand over to it, and
# state.json must be left as it was. Exits 77 (skipped) where this machine
# can't start a program so.
set -u
user=12345

skip() {
  echo "SKIP: $*"
  exit 77
}
fail() {
  echo "FAIL: $*"
  exit 1
}
as_user() { setpriv --reuid="$user" --regid="$user" --clear-groups "$@"; }

# One case, inside a mount namespace of its own: <program> <case> <runtime> <folder>
if [ "${1:-}" = --case ]; then
  program=$2 case=$3 runtime=$4 root=$5
  home=$root/home
  state=$home/.local/share/Larkvale
  run=$root/run
  tmp=$root/tmp
  mkdir -p "$state" "$run" "$tmp" "$home/.config" "$home/.cache" || exit 1
  if [ "$case" = full-disk ]; then
    mount -t tmpfs -o size=256k,mode=0755 tmpfs "$state" || skip "tmpfs can't be mounted here"
  fi
  echo '{}' >"$state/state.json" || exit 1
  chown -R "$user:$user" "$root" && chmod 0700 "$run" "$tmp" || exit 1
  case $case in
    mode-0500) chmod 0500 "$state" ;;
    owned-by-another) chown -R 0:0 "$state" && chmod 0755 "$state" ;;
    full-disk) dd if=/dev/zero of="$state/filler" bs=4096 2>/dev/null ;;
    read-only-mount)
      mount --bind "$state" "$state" && mount -o remount,bind,ro "$state" ||
        skip "a read-only bind mount can't be made here" ;;
    read-only-home)
      mount --bind "$home" "$home" && mount -o remount,bind,ro "$home" ||
        skip "a read-only bind mount can't be made here" ;;
  esac
  before=$(cksum <"$state/state.json")

  set -- env -i PATH=/usr/bin:/bin HOME="$home" TMPDIR="$tmp" QT_QPA_PLATFORM=offscreen \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$root/no-bus"
  [ "$runtime" = yes ] && set -- "$@" XDG_RUNTIME_DIR="$run"
  # Started directly, not through a function, so that $! is the program.
  setpriv --reuid="$user" --regid="$user" --clear-groups "$@" "$program" \
    >"$root/first.out" 2>"$root/first.err" &
  first=$!
  trap 'kill -KILL "$first" 2>/dev/null' EXIT
  listening=no
  for _ in $(seq 100); do
    kill -0 "$first" 2>/dev/null || break
    for socket in "$run/larkvale.socket" "$tmp"/larkvale-*/larkvale.socket; do
      [ -S "$socket" ] && listening=yes
    done
    [ $listening = yes ] && break
    sleep 0.1
  done
  if ! kill -0 "$first" 2>/dev/null; then
    cat "$root/first.out" "$root/first.err"
    fail "$case: the first launch didn't start"
  fi
  [ $listening = yes ] || fail "$case: the first launch doesn't listen"
  second=$(as_user "$@" timeout 20 "$program" 2>"$root/second.err")
  status=$?
  if [ $status -ne 0 ] ||
    [ "$second" != "Larkvale is already running; its window was brought forward." ]; then
    cat "$root/second.err"
    fail "$case: the second launch answered $status: $second"
  fi
  kill -0 "$first" 2>/dev/null || fail "$case: the first launch ended"
  kill -TERM "$first"
  wait "$first"
  trap - EXIT
  [ "$(cksum <"$state/state.json")" = "$before" ] || fail "$case: state.json changed"
  echo "ok: $case, runtime folder: $runtime"
  exit 0
fi

program=$1
[ "$(id -u)" = 0 ] || skip "only root can start the program as another user"
for tool in setpriv unshare mount cksum seq timeout; do
  command -v "$tool" >/dev/null 2>&1 || skip "$tool is missing"
done
unshare -m true >/dev/null 2>&1 || skip "mount namespaces are refused here"

work=$(mktemp -d) || exit 1
case $work in
  /?*/?*) ;;
  *) echo "FAIL: mktemp answered '$work'"; exit 1 ;;
esac
trap 'rm -rf -- "$work"' EXIT
chmod 0755 "$work" && mkdir "$work/bin" && cp -- "$program" "$work/bin/larkvale" || exit 1
script=$(readlink -f "$0")

status=0
for case in mode-0500 owned-by-another full-disk read-only-mount read-only-home; do
  for runtime in yes no; do
    mkdir "$work/$case-$runtime" || exit 1
    unshare -m --propagation private sh "$script" --case "$work/bin/larkvale" "$case" "$runtime" \
      "$work/$case-$runtime"
    result=$?
    [ $result -eq 77 ] && continue
    [ $result -eq 0 ] || status=1
  done
done
exit $status
