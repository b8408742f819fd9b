#!/usr/bin/env bash
# The Debian package as a user gets it: its name and version, its files and
# their modes, its control files and maintainer scripts, lintian and
# systemd-analyze on what it ships, and the extracted ostreld run from a
# temporary folder against the display simulator and a fake host tree.
#
#   tests/packaging/deb_test.sh <build-linux folder>
set -euo pipefail

build=$(cd "$1" && pwd)
repo=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/ostrel_${version}_$(dpkg --print-architecture).deb"
tmp=$(mktemp -d)
daemon_pid=
cleanup() {
  [ -n "$daemon_pid" ] && kill -9 "$daemon_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check() {
  local what=$1
  shift
  "$@" >/dev/null 2>&1 || fail "$what"
}

[ -f "$deb" ] || { echo "FAIL: no $deb" >&2; exit 1; }

# --- contents: every file where Debian puts it, owned by root, with its mode
listing=$(dpkg-deb -c "$deb")
expect_file() {  # <mode> <path>
  grep -qE "^$1 root/root +[0-9]+ [0-9-]+ [0-9:]+ \.$2\$" <<<"$listing" || fail "$2 ($1) not in the package"
}
expect_file -rwxr-xr-x /usr/bin/ostreld
expect_file -rwxr-xr-x /usr/bin/ostrelctl
expect_file -rw-r--r-- /lib/systemd/system/ostreld.service
expect_file -rw-r--r-- /lib/udev/rules.d/70-ostrel.rules
expect_file -rw-r--r-- /usr/lib/sysusers.d/ostrel.conf
expect_file -rw-r--r-- /etc/ostrel/ostreld.conf
expect_file -rw-r--r-- /usr/share/doc/ostrel/copyright
expect_file -rw-r--r-- /usr/share/doc/ostrel/changelog.gz

# --- control: version from the project, dependencies from the library scan
dpkg-deb -e "$deb" "$tmp/control"
fields=$(dpkg-deb -f "$deb")
grep -qx "Version: $version" <<<"$fields" || fail "Version is not $version"
for lib in libhidapi-hidraw0 libudev1 libsystemd0 libc6 libstdc++6; do
  grep -q "^Depends:.*\b$lib\b" <<<"$fields" || fail "Depends lacks $lib"
done
[ "$(cat "$tmp/control/conffiles")" = "/etc/ostrel/ostreld.conf" ] || fail "conffiles is not the configuration alone"
for script in postinst prerm postrm; do
  f="$tmp/control/$script"
  [ "$(stat -c %a "$f")" = 755 ] || fail "$script is not 0755"
  check "$script does not parse" sh -n "$f"
  grep -v '^\s*#' "$f" | grep -qw systemctl && fail "$script calls systemctl"
done
grep -q 'deb-systemd-helper enable ostreld.service' "$tmp/control/postinst" || fail "postinst does not enable"
grep -q 'deb-systemd-invoke "$action" ostreld.service' "$tmp/control/postinst" || fail "postinst does not start"
grep -q 'systemd-sysusers .*ostrel.conf' "$tmp/control/postinst" || fail "postinst does not create the user"
grep -q 'udevadm trigger --subsystem-match=hidraw' "$tmp/control/postinst" || fail "postinst does not apply the rule"
grep -q 'deb-systemd-invoke stop ostreld.service' "$tmp/control/prerm" || fail "prerm does not stop"
grep -q 'deb-systemd-helper purge ostreld.service' "$tmp/control/postrm" || fail "postrm does not purge"

# --- lintian: no error (warnings are printed for the reader)
lintian_out=$(lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1) || fail "lintian: $lintian_out"
lintian_out=$(grep -v 'running with root privileges' <<<"$lintian_out" || true)
[ -n "$lintian_out" ] && printf 'lintian: %s\n' "$lintian_out"

# --- the files themselves
root="$tmp/root"
dpkg-deb -x "$deb" "$root"
rules=$(grep -v '^#' "$root/lib/udev/rules.d/70-ostrel.rules")
[ "$(grep -c . <<<"$rules")" = 1 ] || fail "the udev rule is more than one rule"
for part in 'SUBSYSTEM=="hidraw"' 'ATTRS{idVendor}=="1a2c"' 'ATTRS{idProduct}=="4f84"' 'GROUP="ostrel"' \
  'MODE="0660"' 'TAG+="uaccess"'; do
  grep -qF "$part" <<<"$rules" || fail "udev rule lacks $part"
done
grep -qE '^u ostrel ' "$root/usr/lib/sysusers.d/ostrel.conf" || fail "sysusers does not make ostrel"
grep -qE '^#cpu_sensor = ' "$root/etc/ostrel/ostreld.conf" || fail "the configuration does not show cpu_sensor"
zcat "$root/usr/share/doc/ostrel/changelog.gz" | head -1 | grep -q "^ostrel ($version)" || fail "changelog"

# verify looks for every command and unit the service names inside --root:
# a copy of the package with the host's units and its kill (ExecReload).
vroot="$tmp/verify"
cp -a "$root" "$vroot"
mkdir -p "$vroot/bin" "$vroot/usr/lib/systemd"
cp /usr/bin/kill "$vroot/bin/kill"
ln -s /lib/systemd/system "$vroot/usr/lib/systemd/system"
unit="$vroot/lib/systemd/system/ostreld.service"
verify=$(systemd-analyze verify --root="$vroot" --man=no "$unit" 2>&1) || fail "systemd-analyze verify: $verify"
[ -z "$verify" ] || fail "systemd-analyze verify warns: $verify"
security=$(systemd-analyze security --offline=true --root="$vroot" "$unit" 2>&1 | grep 'exposure level')
echo "systemd-analyze security: $security"
score=$(sed -n 's/.*exposure level for .*: \([0-9.]*\) .*/\1/p' <<<"$security")
awk -v s="$score" 'BEGIN { exit !(s != "" && s <= 2.5) }' || fail "exposure $score is above 2.5"

# --- the extracted daemon, from the temporary folder, with the simulator
tree="$tmp/tree"
mkdir -p "$tree/sys/class/hwmon/hwmon0" "$tree/proc"
echo k10temp >"$tree/sys/class/hwmon/hwmon0/name"
echo Tctl >"$tree/sys/class/hwmon/hwmon0/temp1_label"
echo 47000 >"$tree/sys/class/hwmon/hwmon0/temp1_input"
echo "cpu  100 0 0 300 0 0 0 0 0 0" >"$tree/proc/stat"
cat >"$tmp/hidsim.ini" <<'INI'
[display]
vendor_id = 0x1A2C
product_id = 0x4F84
INI
export LD_LIBRARY_PATH="$build/sim/hidsim" HIDSIM_CONFIG="$tmp/hidsim.ini" HIDSIM_LOG="$tmp/hidsim.log"
export OSTREL_SYSFS_ROOT="$tree"
"$root/usr/bin/ostreld" --config "$root/etc/ostrel/ostreld.conf" 2>"$tmp/ostreld.err" &
daemon_pid=$!
for _ in $(seq 40); do
  grep -q . "$tmp/hidsim.log" 2>/dev/null && break
  sleep 0.1
done
sleep 0.2
# Another process reads the block: the CPU field at 152 holds 47.0f.
cpu=$(od -An -tx4 -j 152 -N 4 /dev/shm/brovan_hardware_mapfile 2>&1 | tr -d ' ') || true
[ "$cpu" = 423c0000 ] || fail "the block's CPU field is '$cpu', not 47.0"
kill -TERM "$daemon_pid" 2>/dev/null || true
status=0
wait "$daemon_pid" || status=$?
daemon_pid=
[ "$status" = 0 ] || fail "ostreld exited $status on SIGTERM: $(cat "$tmp/ostreld.err")"
[ -e /dev/shm/brovan_hardware_mapfile ] && fail "the block outlived ostreld"
# The display showed 47: a report 07 FF FF with the digits 0 4 7.
awk '$1 == "send_feature" && $5 == "07" && $6 == "FF" && $7 == "FF" && ($8 + 0) * 100 + ($9 + 0) * 10 + ($10 + 0) == 47 { ok = 1 }
  END { exit !ok }' "$tmp/hidsim.log" 2>/dev/null || fail "the display did not show 47: $(cat "$tmp/ostreld.err")"

if [ "$failures" -gt 0 ]; then
  echo "deb_test: $failures failure(s)" >&2
  exit 1
fi
echo "deb_test: $deb passes"
