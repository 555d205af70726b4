# debian-root.sh: sourced by the scripts that try the project on a bare Debian. Makes a minimal
# root of Debian 12 or 13 with debootstrap, from the mirror the machine's own apt uses, and mounts
# and unmounts what programs need inside it. Needs root.
#
#   resolve_release 12|13|bookworm|trixie   sets $codename and $release_name ("Debian 13 (trixie)")
#   make_bare_root DIR [PACKAGE,...]        debootstrap's minbase of $codename in DIR, its apt
#                                           sources, and the named packages besides
#   mount_root DIR / unmount_root DIR       /proc, /sys, /dev/pts and /dev/shm inside DIR
#   stop_root_processes DIR                 ends what still runs inside DIR (our own runs only)

resolve_release() {
  case "$1" in
    12 | bookworm) codename=bookworm release_name="Debian 12 (bookworm)" ;;
    13 | trixie) codename=trixie release_name="Debian 13 (trixie)" ;;
    *)
      echo "error: unknown release '$1' (12, 13, bookworm or trixie)" >&2
      return 2 ;;
  esac
}

# The lines of apt sources that the new root gets: each repository that the machine's apt has for
# its own release's main component (written as sources.list lines or deb822 .sources files alike;
# apt reads them, no downloaded index is needed), with the machine's release replaced by $codename
# in the suite: bookworm-security becomes trixie-security on the same repository. A local mirror or
# a caching proxy then serves the new root too. The first line is the release itself.
root_sources() {
  local own
  own=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  if [ -z "$own" ]; then
    echo "error: /etc/os-release names no release codename" >&2
    return 1
  fi
  apt-get indextargets --no-release-info --format '$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)' |
    awk -v own="$own" -v new="$codename" '
      $1 == "deb" && $4 == "main" && ($3 == own || index($3, own "-") == 1) {
        suite = new substr($3, length(own) + 1)
        if (!seen[$2 " " suite]++) lines[suite == new ? 0 : ++n] = "deb " $2 " " suite " main"
      }
      END { if (0 in lines) for (i = 0; i <= n; i++) print lines[i] }'
}

# A proxy in apt's configuration serves debootstrap's downloads and the new root's apt alike.
use_apt_proxy() {
  if [ -z "${http_proxy:-}" ]; then
    eval "$(apt-config shell http_proxy Acquire::http::Proxy)"
    if [ -n "${http_proxy:-}" ]; then export http_proxy; fi
  fi
}

make_bare_root() {
  local dir=$1 include=${2:-} sources mirror
  sources=$(root_sources)
  if [ -z "$sources" ]; then
    echo "error: apt has no Debian source for the main component, which debootstrap needs" >&2
    return 1
  fi
  mirror=$(awk 'NR == 1 { print $2 }' <<<"$sources")
  command -v debootstrap >/dev/null ||
    apt-get install -y -q --no-install-recommends debootstrap >/dev/null
  use_apt_proxy
  echo "Making a bare $release_name in $dir from $mirror"
  debootstrap --variant=minbase ${include:+--include="$include"} "$codename" "$dir" "$mirror" \
    >"$dir.debootstrap.log" 2>&1 || {
    tail -n 20 "$dir.debootstrap.log" >&2
    echo "error: debootstrap failed; its log is $dir.debootstrap.log" >&2
    return 1
  }
  rm -f "$dir.debootstrap.log"
  echo "$sources" >"$dir/etc/apt/sources.list"
  if [ -n "${http_proxy:-}" ]; then
    echo "Acquire::http::Proxy \"$http_proxy\";" >"$dir/etc/apt/apt.conf.d/01proxy"
  fi
  cp /etc/resolv.conf "$dir/etc/"
  # The certificate authorities the machine's administrator added, such as a network's own TLS
  # proxy's: the root reaches the npm registry as the machine does. ca-certificates takes them in
  # as the test command installs it.
  if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    mkdir -p "$dir/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$dir/usr/local/share/ca-certificates/"
  fi
}

# /dev in the root is debootstrap's own (device nodes, not the machine's /dev bound in), so that
# nothing mounted there can reach the machine's /dev/shm.
mount_root() {
  local dir=$1
  mkdir -p "$dir/dev/pts" "$dir/dev/shm"
  mount -t proc proc "$dir/proc"
  mount -t sysfs sysfs "$dir/sys"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$dir/dev/pts"
  mount -t tmpfs -o mode=1777 tmpfs "$dir/dev/shm"
}

unmount_root() {
  local dir=$1 point
  for point in dev/shm dev/pts sys proc; do
    if mountpoint -q "$dir/$point"; then umount "$dir/$point" || umount -l "$dir/$point" || true; fi
  done
}

# Only processes whose root is DIR, which this run started there, by their PIDs.
stop_root_processes() {
  local dir pid
  dir=$(realpath "$1")
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    if [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$dir" ]; then
      kill "$pid" 2>/dev/null || true
    fi
  done
}
