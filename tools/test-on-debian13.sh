#!/usr/bin/env bash
# Runs ./test on a fresh Debian 13 (trixie) in a root made by debootstrap,
# from the Debian mirror that apt on this machine already uses.
#
#   tools/test-on-debian13.sh          clone the current commit and test it
#   tools/test-on-debian13.sh --help   this help
#
# Needs root (debootstrap, chroot, mounts). The bare Debian 13 base is kept in
# build/debian13/base for the next run, and the packages apt fetches in
# build/debian13/archives; each run starts from a fresh copy of the base, so
# ./test installs everything as it would on a new machine.
set -euo pipefail
# Its own path, whatever the working folder it was started from.
self=$(realpath "$0")
cd "$(dirname "$self")/.."
top=$PWD

for arg in "$@"; do
  case "$arg" in
    -h|--help) sed -n '2,/^[^#]/s/^# \{0,1\}//p' "$self"; exit 0 ;;
    --inside) ;;  # the second stage, below
    *) echo "test-on-debian13: unknown option '$arg' (try --help)" >&2; exit 2 ;;
  esac
done

work="$top/build/debian13"
root="$work/root"
suite=trixie

# Holds while anything is mounted at or under the folder: such a folder is
# never deleted, or the delete would reach what is mounted there.
has_mounts_under() {
  local dir
  dir=$(realpath -m "$1")
  awk -v d="$dir" '{ gsub(/\\040/, " ", $5); if ($5 == d || index($5, d "/") == 1) found = 1 } END { exit !found }' /proc/self/mountinfo
}

# The second stage runs in a mount and process namespace of its own, so that
# no mount is seen outside and every process it starts ends with it; it still
# unmounts what it mounted on every way out. It is no command of its own:
# it runs only as the first process of the namespaces the first stage made,
# as root, with the first stage's lock on $work held.
if [ "${1:-}" = "--inside" ]; then
  if [ "$(id -u)" -ne 0 ] || [ "$$" -ne 1 ] || [ "$(readlink /proc/self/fd/9 2>/dev/null)" != "$(realpath -m "$work/lock")" ] || ! flock -n 9; then
    echo "test-on-debian13: --inside is the script's own second stage; run tools/test-on-debian13.sh" >&2
    exit 2
  fi
  mounted=()
  unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
  }
  trap unmount_all EXIT
  trap 'exit 130' INT TERM
  mount_in() {  # type source target [options]
    mount -t "$1" ${4:+-o "$4"} "$2" "$3"
    mounted+=("$3")
  }
  mount_in proc proc "$root/proc"
  # Read-only: the package scripts in there run as real root.
  mount_in sysfs sysfs "$root/sys" ro
  mount_in tmpfs tmpfs "$root/dev/shm" mode=1777
  mount_in devpts devpts "$root/dev/pts" newinstance,ptmxmode=0666
  mkdir -p "$root/var/cache/apt/archives"
  mount --bind "$work/archives" "$root/var/cache/apt/archives"
  mounted+=("$root/var/cache/apt/archives")
  # Keep what apt fetches, for the next run.
  echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' > "$root/etc/apt/apt.conf.d/10keep-archives"
  status=0
  env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 TERM="${TERM:-dumb}" CI="${CI:-}" \
    NODE_EXTRA_CA_CERTS=/etc/host-ca-certificates.crt \
    ${http_proxy:+http_proxy="$http_proxy"} ${https_proxy:+https_proxy="$https_proxy"} \
    chroot "$root" /bin/bash -c 'cd /root/vidlatch && ./test' || status=$?
  exit "$status"
fi

[ "$(id -u)" -eq 0 ] || { echo "test-on-debian13: needs root (debootstrap, chroot and mounts)" >&2; exit 1; }
for tool in debootstrap unshare chroot git; do
  command -v "$tool" >/dev/null || { echo "test-on-debian13: '$tool' is missing; run tools/install-deps.sh" >&2; exit 1; }
done

# The mirror apt uses here: the first Debian archive in its sources, in
# either format (deb822 .sources, or one-line .list).
mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
  awk 'tolower($1) == "uris:" { for (i = 2; i <= NF; i++) print $i }' | grep -v -e security -e '^cdrom:' | head -n 1 || true)
if [ -z "$mirror" ]; then
  mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; break } }' |
    grep -v security | head -n 1 || true)
fi
[ -n "$mirror" ] || { echo "test-on-debian13: no Debian mirror found in apt's sources" >&2; exit 1; }

mkdir -p "$work/archives"
exec 9> "$work/lock"
flock -n 9 || { echo "test-on-debian13: another run holds $work" >&2; exit 1; }

if [ ! -e "$work/base/.complete" ]; then
  echo "Making the Debian 13 base from $mirror (kept in $work/base)"
  if has_mounts_under "$work/base"; then echo "test-on-debian13: something is mounted under $work/base" >&2; exit 1; fi
  rm -rf "$work/base"
  debootstrap --variant=minbase --cache-dir="$work/archives" "$suite" "$work/base" "$mirror"
  touch "$work/base/.complete"
fi

if [ -e "$root" ]; then
  if has_mounts_under "$root"; then
    echo "test-on-debian13: something is still mounted under $root; not deleting it" >&2
    exit 1
  fi
  rm -rf "$root"
fi
cp -a "$work/base" "$root"
rm -f "$root/.complete"
# The same mirror inside, and this machine's certificates for npm, which may
# pass a proxy that inspects TLS.
echo "deb $mirror $suite main" > "$root/etc/apt/sources.list"
cp /etc/ssl/certs/ca-certificates.crt "$root/etc/host-ca-certificates.crt"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain)" ] || echo "test-on-debian13: uncommitted changes are not tested, only $commit"
git clone -q --no-hardlinks "$top" "$root/root/vidlatch"
git -C "$root/root/vidlatch" checkout -q "$commit"
echo "Testing $commit on Debian 13"

start=$SECONDS
status=0
unshare --mount --pid --fork --propagation private -- "$self" --inside || status=$?
echo "test-on-debian13: ./test on Debian 13 ended with $status after $((SECONDS - start)) s"
exit "$status"
