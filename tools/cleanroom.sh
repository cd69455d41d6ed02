#!/usr/bin/env bash
# The README's two commands on a bare Debian machine, as a newcomer meets
# them: a minimal root (debootstrap's minbase with git, ca-certificates and
# sudo), an ordinary user with password-less sudo, no display. The user
# clones the commit under test, then runs
#   env -u DISPLAY ./run.sh lesson_specular   (the screenshot must show the teapot)
#   ./test.sh --quick                         (as root, from a clone under /root)
# or, with --web, ./run.sh --web from nothing (the page served and fetched)
# and ./test.sh --quick --web (the quick tests and the web page's) as the user.
#
#   tools/cleanroom.sh [--web] [--keep] RELEASE     RELEASE: bookworm or trixie
#
# Needs root (it asks sudo otherwise) and Debian's archive; the host's own
# packages are never changed. The bare root is kept as a tarball in
# ~/.cache/glsl-lessons, so a second run skips debootstrap, and so are the
# package files apt downloads inside it (RELEASE-apt, mounted as the root's
# /var/cache/apt/archives): the root starts bare every time, and only the
# downloads are saved. The root itself (build-cleanroom/RELEASE) is removed
# at the end unless --keep is given.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

usage() {
  echo "usage: $0 [--web] [--keep] bookworm|trixie" >&2
  exit 2
}
with_web=0
keep=0
while [ $# -gt 0 ]; do
  case $1 in
    --web) with_web=1 ;;
    --keep) keep=1 ;;
    bookworm | trixie) release=$1 ;;
    *) usage ;;
  esac
  shift
done
[ -n "${release:-}" ] || usage
if [ "$(id -u)" -ne 0 ]; then
  args=()
  [ $with_web -eq 0 ] || args+=(--web)
  [ $keep -eq 0 ] || args+=(--keep)
  exec sudo "$0" "${args[@]}" "$release"
fi

. tools/apt-archive.sh
cache=${XDG_CACHE_HOME:-$HOME/.cache}/glsl-lessons
tarball=$cache/$release-minbase.tar
downloads=$cache/$release-apt
root=$repo/build-cleanroom/$release
user=learner
home=/home/$user
commit=$(git rev-parse HEAD)

# Everything this script starts or mounts inside the root ends with it.
unmount_all() {
  local pid
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "${pid#/proc/}" 2>/dev/null
  done
  awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/self/mounts |
    sort -r | while read -r mount; do
      umount "$mount" 2>/dev/null || umount -l "$mount"
    done
}
finish() {
  local status=$?
  unmount_all
  if awk -v root="$root" 'index($2, root) == 1 { found = 1 } END { exit !found }' /proc/self/mounts; then
    echo "cleanroom: something is still mounted under $root; left in place" >&2
  elif [ $keep -eq 1 ]; then
    echo "cleanroom: the root is kept for a look: $root"
  else
    rm -rf "$root"
  fi
  exit $status
}
trap finish EXIT
trap 'exit 130' INT TERM
unmount_all
rm -rf "$root"
mkdir -p "$root" "$cache"

archive=$(debian_archive)
proxy=$(apt_http_proxy)
[ -z "$proxy" ] || export http_proxy=$proxy

# debootstrap: the host's own, or Debian's package unpacked beside the
# tarballs without installing it.
bare_root() {
  local debootstrap=/usr/sbin/debootstrap
  export DEBOOTSTRAP_DIR=/usr/share/debootstrap
  if [ ! -x $debootstrap ]; then
    local unpacked=$cache/debootstrap
    if [ ! -x "$unpacked/usr/sbin/debootstrap" ]; then
      local download=$cache/debootstrap-download  # in the cache, not /tmp: nothing left there if interrupted
      rm -rf "$download"
      mkdir -p "$download"
      (cd "$download" && apt-get download -qq debootstrap 2>/dev/null) || {
        echo "cleanroom: cannot download Debian's debootstrap package (apt-get download debootstrap)" >&2
        exit 1
      }
      rm -rf "$unpacked"
      dpkg-deb -x "$download"/debootstrap_*.deb "$unpacked"
      rm -rf "$download"
    fi
    debootstrap=$unpacked/usr/sbin/debootstrap
    DEBOOTSTRAP_DIR=$unpacked/usr/share/debootstrap
  fi
  command -v wget >/dev/null || { echo "cleanroom: debootstrap needs wget" >&2; exit 1; }
  local keyring=()
  [ ! -r /usr/share/keyrings/debian-archive-keyring.gpg ] ||
    keyring=(--keyring=/usr/share/keyrings/debian-archive-keyring.gpg)
  echo "Making a bare Debian $release root from $archive (once; kept in $tarball)"
  "$debootstrap" --variant=minbase --include=git,ca-certificates,sudo "${keyring[@]}" \
    "$release" "$root" "$archive" >"$root.log" 2>&1 || {
    tail -20 "$root.log" >&2
    exit 1
  }
  rm -f "$root.log"
  tar -C "$root" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
}

if [ -f "$tarball" ]; then
  tar -C "$root" -xf "$tarball"
else
  bare_root
fi

# What a newcomer's machine has besides: name resolution, a host name, the
# user, apt's proxy when this machine uses one, and the certificate
# authorities this machine adds to Debian's (a network that inspects HTTPS
# names its own: the npm registry is fetched over HTTPS).
cp /etc/resolv.conf "$root/etc/resolv.conf"
echo "127.0.0.1 localhost $(hostname)" >"$root/etc/hosts"
[ -z "$proxy" ] || echo "Acquire::http::Proxy \"$proxy\";" >"$root/etc/apt/apt.conf.d/01proxy"
if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
  cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
  chroot "$root" update-ca-certificates >/dev/null 2>&1
fi
echo 'APT::Keep-Downloaded-Packages "true";' >"$root/etc/apt/apt.conf.d/01keep-downloads"
chroot "$root" useradd --create-home --shell /bin/bash $user
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 440 "$root/etc/sudoers.d/$user"
git bundle create -q "$root/tmp/lessons.bundle" HEAD
chmod 644 "$root/tmp/lessons.bundle"

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"
mkdir -p "$downloads/partial"
rm -f "$root"/var/cache/apt/archives/*.deb
mount --bind "$downloads" "$root/var/cache/apt/archives"
cached_mb() { du -sm "$downloads" | cut -f1; }

uid=$(chroot "$root" id -u $user)
as_user() {  # as_user COMMAND: a login-like shell of the user, in the clone
  chroot --userspec="$uid:$uid" "$root" env -i HOME=$home USER=$user LOGNAME=$user LANG=C.UTF-8 \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin bash -c "cd $home && $1"
}
installed_kib() { chroot "$root" dpkg-query -W -f '${Installed-Size}\n' | awk '{ s += $1 } END { print s }'; }

echo "Clean room $release: cloning $commit as $user"
before_kib=$(installed_kib)
before_mb=$(cached_mb)
started=$SECONDS
as_user "git -c init.defaultBranch=main clone -q -c advice.detachedHead=false /tmp/lessons.bundle glsl-lessons"
log=$root/tmp/run.log
as_user "cd glsl-lessons && env -u DISPLAY ./run.sh lesson_specular" 2>&1 | tee "$log" || true
seconds=$((SECONDS - started))

shot=$(sed -n 's/^Screenshot: //p' "$log")
grep -q "exited with status 0\.$" "$log" || { echo "cleanroom: run.sh did not end with status 0" >&2; exit 1; }
[ -n "$shot" ] && [ -f "$root$shot" ] || { echo "cleanroom: run.sh saved no screenshot" >&2; exit 1; }
# The teapot is pink on white: count the reddish pixels and the white ones.
read -r reddish white pixels < <(as_user "convert '$shot' -depth 8 rgb:- 2>/dev/null" |
  od -An -v -tu1 -w3 |
  awk '{ n++; if ($1 > $2 + 40 && $1 > $3 + 40) r++; else if ($1 > 240 && $2 > 240 && $3 > 240) w++ }
       END { print r + 0, w + 0, n + 0 }')
echo "Screenshot $shot: $pixels pixels, $reddish reddish, $white white"
if [ "$pixels" -eq 0 ] || [ $((reddish * 100)) -lt $((pixels * 5)) ] || [ $((white * 100)) -lt $((pixels * 30)) ]; then
  echo "cleanroom: the screenshot does not show a pink teapot on white" >&2
  exit 1
fi
echo "Clean room $release: clone to screenshot in $seconds s;" \
  "run.sh installed $(( ($(installed_kib) - before_kib) / 1024 )) MB of packages" \
  "($(( $(cached_mb) - before_mb )) MB downloaded, the rest from $downloads)"

# A teacher who tried the guide's half-Lambert edit in data/ and then checks
# the class: the target is still the project's committed pair.
cat >"$root/tmp/target-check.sh" <<'CHECK'
cd glsl-lessons
git show HEAD:data/oswietlenie_rozproszone.vert >/tmp/committed.vert
sed -i 's/max(dot(normal, lightDir), 0.0)/(dot(normal, lightDir) * 0.5 + 0.5)/' data/oswietlenie_rozproszone.vert
env -u DISPLAY ./run.sh --check lesson_diffuse /tmp/committed.vert data/oswietlenie_rozproszone.frag 2>/tmp/said.txt
status=$?
cat /tmp/said.txt
git checkout -q data/oswietlenie_rozproszone.vert
[ $status -eq 0 ] && grep -q "is not the project's own" /tmp/said.txt
CHECK
as_user "bash /tmp/target-check.sh" || { echo "cleanroom: an edited data/ changed the exercise's target" >&2; exit 1; }

started=$SECONDS
if [ $with_web -eq 1 ]; then
  # The web page from nothing, as a learner starts it: ./run.sh --web installs
  # what it needs, builds the page and serves it; the page, its program and a
  # shader are fetched from the address it prints.
  cat >"$root/tmp/web-check.sh" <<'CHECK'
cd glsl-lessons
./run.sh --web lesson_specular >/tmp/web.log 2>&1 &
server=$!
for _ in $(seq 900); do grep -q ': open http' /tmp/web.log && break; kill -0 $server 2>/dev/null || break; sleep 1; done
cat /tmp/web.log
url=$(sed -n 's/.*: open \(http[^ ]*\)$/\1/p' /tmp/web.log)
python3 - "$url" <<'FETCH'
import sys, urllib.request
page = sys.argv[1]
base = page.split("index.html")[0]
for path in (page, base + "lessons.js", base + "files.js", base + "core/oswietlenie_odbite.frag"):
    with urllib.request.urlopen(path) as r:
        body = r.read()
    print(f"fetched {path}: {len(body)} bytes")
    assert body, path
FETCH
status=$?
kill $server
exit $status
CHECK
  as_user "bash /tmp/web-check.sh" || { echo "cleanroom: ./run.sh --web did not serve the page" >&2; exit 1; }
  echo "Clean room $release: ./run.sh --web from nothing to a served page in $((SECONDS - started)) s"
  started=$SECONDS
  suite="./test.sh --quick --web"
  as_user "cd glsl-lessons && $suite"
else
  # The quick suite as root, from a clone in root's own home (mode 700), as on
  # a fresh cloud machine or container: the tests that drop to an ordinary
  # user must not need to reach into it.
  suite="./test.sh --quick (as root, cloned under /root)"
  chmod 700 "$root/root"
  chroot "$root" env -i HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/local/sbin:/usr/sbin:/sbin bash -c \
    "cd /root && git clone -q -c advice.detachedHead=false /tmp/lessons.bundle glsl-lessons && cd glsl-lessons && ./test.sh --quick"
fi
echo "Clean room $release: $suite passed in $((SECONDS - started)) s"
