#!/usr/bin/env bash
# scripts/setup against stand-ins for apt-get, dpkg-query and dpkg on the PATH:
# a mirror caught mid-sync, an install that needs the release's own versions, one
# that never resolves, and an update that works on a later attempt.
set -uo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
release=$(. /etc/os-release && echo "$VERSION_CODENAME")

mkdir -p "$work/bin"
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB_CALLS"
case $1 in
  update)
    n=$(grep -c '^apt-get update' "$STUB_CALLS")
    if [ "$STUB_UPDATE" = fail ] || { [ "$STUB_UPDATE" = fail-once ] && [ "$n" = 1 ]; }; then
      echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    fi ;;
  install)
    if [ "$STUB_INSTALL" = never ] || { [ "$STUB_INSTALL" = needs-target ] && [[ " $* " != *" -t "* ]]; }; then
      echo "The following packages have unmet dependencies:"
      echo " libwine:i386 : Depends: libgnutls30:i386 (>= 3.7.9) but it is not installable"
      echo "E: Unable to correct problems, you have held broken packages." >&2
      exit 100
    fi
    : >"$STUB_INSTALLED" ;;
esac
STUB
cat >"$work/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
[ -f "$STUB_INSTALLED" ] && printf 'install ok installed'
STUB
cat >"$work/bin/dpkg" <<'STUB'
#!/usr/bin/env bash
[ "$1" = --print-foreign-architectures ] && echo i386
STUB
for tool in debconf-set-selections sudo; do
  printf '#!/usr/bin/env bash\n[ "$(basename "$0")" = sudo ] && exec "$@"\ncat >/dev/null\n' >"$work/bin/$tool"
done
chmod +x "$work/bin"/*

failures=0
# update, install, expected status, expected install calls, expected message
while IFS='|' read -r update install status installs message; do
  export STUB_CALLS=$work/calls STUB_INSTALLED=$work/installed STUB_UPDATE=$update STUB_INSTALL=$install
  rm -f "$STUB_CALLS" "$STUB_INSTALLED"
  PATH="$work/bin:$PATH" SENTEL_APT_PAUSE=0 "$here/scripts/setup" >"$work/out" 2>&1
  got=$?
  calls=$(grep -c '^apt-get update' "$STUB_CALLS")
  got_installs=$(grep '^apt-get install' "$STUB_CALLS" | grep -o ' -t [a-z]*' | tr -d '\n' | sed 's/^ //')
  got_installs="$(grep -c '^apt-get install' "$STUB_CALLS") ${got_installs:-plain}"
  message=${message//RELEASE/$release}
  case_name="update $update, install $install"
  expect_updates=4; [ "$update" = fail-once ] && expect_updates=2
  if { [ "$status" = 0 ] && [ $got != 0 ]; } || { [ "$status" != 0 ] && [ $got = 0 ]; } ||
     [ "$calls" != "$expect_updates" ] || [ "$got_installs" != "$installs" ] ||
     ! grep -qF -- "$message" "$work/out"; then
    echo "FAIL $case_name: status $got, $calls updates, installs '$got_installs'"
    sed 's/^/  | /' "$work/out"
    failures=$((failures + 1))
  else
    echo "ok   $case_name"
  fi
done <<ROWS
fail|needs-target|0|2 -t $release|setup: the security index for i386 could not be fetched: installing the release's own versions (RELEASE)
fail|never|1|2 -t $release|setup: could not install libwine:i386: Depends: libgnutls30:i386 (>= 3.7.9) but it is not installable
fail-once|ok|0|1 plain|setup: apt-get update failed (attempt 1 of 4)
ROWS
exit $((failures > 0))
