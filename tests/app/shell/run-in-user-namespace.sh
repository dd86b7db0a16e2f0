#!/bin/sh
# run-in-user-namespace.sh <test program>
# Runs a test program as an ordinary user inside a user namespace, as
# rootless containers and build sandboxes do: there "/" and "/tmp" belong to
# a user the namespace doesn't know, so no temporary folder can be trusted.
# The program must pass or skip, and files in and beside the folder it is
# started from must survive it. Exits 77 (skipped) where this machine can't
# start a program so.
set -u
program=$1
user=12345

skip() {
  echo "SKIP: $*"
  exit 77
}
as_user() { setpriv --reuid="$user" --regid="$user" --clear-groups "$@"; }

[ "$(id -u)" = 0 ] || skip "only root can start the program as another user"
command -v setpriv >/dev/null 2>&1 && command -v unshare >/dev/null 2>&1 ||
  skip "setpriv or unshare is missing"
as_user unshare -c true >/dev/null 2>&1 || skip "user namespaces are refused here"

work=$(mktemp -d) || exit 1
case $work in
  /?*/?*) ;;
  *) echo "FAIL: mktemp answered '$work'"; exit 1 ;;
esac
trap 'rm -rf -- "$work"' EXIT

# A copy of the program, so that a build folder the user may not enter
# doesn't keep it from running.
mkdir "$work/bin" "$work/start" "$work/home" "$work/tmp" &&
  cp -- "$program" "$work/bin/program" &&
  echo kept >"$work/canary" && echo kept >"$work/start/canary" &&
  chown -R "$user:$user" "$work" && chmod 0755 "$work" || exit 1

cd "$work/start" || exit 1
as_user env -u XDG_RUNTIME_DIR HOME="$work/home" TMPDIR="$work/tmp" \
  unshare -c "$work/bin/program"
status=$?
cd / || exit 1

if [ ! -f "$work/canary" ] || [ ! -f "$work/start/canary" ]; then
  echo "FAIL: the test removed files beside it"
  exit 1
fi
exit "$status"
