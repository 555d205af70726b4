#!/usr/bin/env bash
# check-release.sh: tries the project as a newcomer would on a bare Debian 12 or 13. For each
# release named, it makes a minimal root with debootstrap (minbase, plus git and sudo) from the
# mirror the machine's own apt uses, adds a user in the sudo group, clones the current branch as
# that user and runs exactly the Quick start's two commands, `scripts/demo.sh` then
# `scripts/test.sh`; then scripts/check-package.sh installs the package that the test command
# built into a second bare root of the same release. It prints, per release, what each command
# installed (packages, download, size on disk), its wall time and its outcome.
#
# Usage: scripts/check-release.sh [--dir DIR] [--report] RELEASE...
#   RELEASE: 12, 13, bookworm or trixie. --report prints the tables of an earlier run again.
#
# Needs root, about 4 GB of disk per release and the better part of an hour per release on two
# cores. The roots stay in DIR (build/release-check by default), each in a directory named after
# its release, for a look afterwards; the next run of the same release starts it anew. The logs of
# the two commands are beside each root. Only committed work is tried: the branch is cloned.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/debian-root.sh

workdir=$PWD/build/release-check
report_only=0
while [ "$#" -gt 0 ]; do
  case "$1" in
    --dir) workdir=$(realpath -m "$2"); shift 2 ;;
    --report) report_only=1; shift ;;
    *) break ;;
  esac
done
if [ "$#" -eq 0 ]; then
  echo "usage: $0 [--dir DIR] [--report] RELEASE... (12, 13, bookworm or trixie)" >&2
  exit 2
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "error: run as root (debootstrap and chroot need it)" >&2
  exit 1
fi
for release in "$@"; do resolve_release "$release"; done
if [ "$report_only" = 0 ] && [ -n "$(git status --porcelain --untracked-files=no)" ]; then
  echo "note: uncommitted changes are not tried; the clone has the last commit only" >&2
fi
branch=$(git symbolic-ref --short -q HEAD) || {
  echo "error: check out the branch to try" >&2
  exit 1
}
readonly user=newcomer
mkdir -p "$workdir"

root=
cleanup() {
  if [ -n "$root" ]; then
    stop_root_processes "$root"
    unmount_root "$root"
  fi
}
trap cleanup EXIT

# What the root has installed: one line per package, name and installed size in KiB; and the
# .deb files apt has downloaded, with their sizes in bytes.
installed() { chroot "$root" dpkg-query -W -f='${db:Status-Abbrev} ${Package} ${Installed-Size}\n' |
              awk '$1 == "ii" { print $2, $3 }' | sort; }
downloaded() { find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -printf '%f %s\n' |
               sort; }

# as_newcomer COMMAND...: runs COMMAND in the root as the user, with a login's plain environment.
as_newcomer() {
  chroot "$root" /usr/sbin/runuser -u "$user" -- env -i HOME="/home/$user" USER="$user" \
    LOGNAME="$user" SHELL=/bin/bash PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 "$@"
}

# run_as_newcomer NAME COMMAND: runs COMMAND in the clone as the user, with a login's plain
# environment, its output in NAME.log beside the root; records the packages and the download it
# brought, its wall time and its exit status in NAME.figures.
run_as_newcomer() {
  local name=$1 command=$2 start end status packages_before downloads_before
  packages_before=$(installed)
  downloads_before=$(downloaded)
  start=$(date +%s)
  set +e
  as_newcomer /bin/bash -c "cd ~/sample-drawing && $command" </dev/null >"$root.$name.log" 2>&1
  status=$?
  set -e
  end=$(date +%s)
  {
    echo "status $status"
    echo "seconds $((end - start))"
    comm -13 <(echo "$packages_before") <(installed) |
      awk '{ n++; kib += $2 } END { printf "packages %d\ndisk_kib %d\n", n, kib }'
    comm -13 <(echo "$downloads_before") <(downloaded) |
      awk '{ bytes += $2 } END { printf "download_bytes %d\n", bytes }'
  } >"$root.$name.figures"
  echo "$command: status $status after $((end - start)) s; log $root.$name.log"
  return 0
}

figure() { awk -v key="$2" '$1 == key { print $2 }' "$1"; }

# One row of the table from a command's figures.
row() {
  local figures=$1 outcome=$2
  printf '  %-16s %8s %9s %9s %9s  %s\n' "$3" "$(figure "$figures" packages)" \
    "$(awk -v b="$(figure "$figures" download_bytes)" 'BEGIN { printf "%.0f MB", b / 1e6 }')" \
    "$(awk -v k="$(figure "$figures" disk_kib)" 'BEGIN { printf "%.0f MB", k * 1024 / 1e6 }')" \
    "$(awk -v s="$(figure "$figures" seconds)" 'BEGIN { printf "%dm%02ds", s / 60, s % 60 }')" \
    "$outcome"
}

# release_table: the table of the release in $root, from what its run left beside it: the
# figures, the logs and the clone. Its status is 1 when anything in it failed.
release_table() {
  local clone=$root/home/$user/sample-drawing status=0 demo_outcome test_outcome package_outcome
  local stages summary tried
  if [ ! -f "$root.demo.figures" ] || [ ! -f "$root.test.figures" ]; then
    echo "$release_name: no complete run in $root" >&2
    return 1
  fi
  demo_outcome="failed (status $(figure "$root.demo.figures" status))"
  if [ "$(figure "$root.demo.figures" status)" = 0 ] && [ -s "$clone/build/sample-drawing.png" ]; then
    demo_outcome="screenshot $(chroot "$root" identify -format '%wx%h' \
      "/home/$user/sample-drawing/build/sample-drawing.png" 2>/dev/null || echo saved)"
  else
    status=1
  fi
  stages=$(grep -c '^=== ' "$root.test.log" || true)
  summary=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$root.test.log" | tail -n 1 || true)
  test_outcome="$stages stages; ${summary:-no test summary}"
  if [ "$(figure "$root.test.figures" status)" != 0 ]; then
    test_outcome="failed (status $(figure "$root.test.figures" status)) after $test_outcome"
    status=1
  fi
  if [ ! -f "$root.package.log" ]; then
    package_outcome="not run: the test command built no package"
    status=1
  elif grep -q '^package check: installed and ran cleanly' "$root.package.log"; then
    package_outcome=$(grep -E '^sample-drawing printed' "$root.package.log")
  else
    package_outcome="failed; log $root.package.log"
    status=1
  fi
  tried=$(git -c safe.directory='*' -C "$clone" rev-parse --abbrev-ref HEAD 2>/dev/null) &&
    tried="$tried at $(git -c safe.directory='*' -C "$clone" rev-parse --short HEAD)"
  echo "$release_name, ${tried:-no clone}, as $user (sudo group); logs $root.*.log"
  printf '  %-16s %8s %9s %9s %9s  %s\n' command packages download 'on disk' 'wall time' outcome
  row "$root.demo.figures" "$demo_outcome" scripts/demo.sh
  row "$root.test.figures" "$test_outcome" scripts/test.sh
  echo "  package check: $package_outcome"
  return "$status"
}

failed=0
tables=()
for release in "$@"; do
  resolve_release "$release"
  root=$workdir/$codename
  tables+=("$root")
  if [ "$report_only" = 1 ]; then continue; fi
  unmount_root "$root"
  rm -rf --one-file-system "$root" "$root".*
  mkdir -p "$root"
  make_bare_root "$root" git,sudo

  # The user: in the sudo group, as the installer makes the first user. sudo asks it no password,
  # since nobody is there to type one; everything else is as Debian sets it.
  chroot "$root" useradd --create-home --shell /bin/bash --groups sudo "$user"
  echo "$user ALL=(ALL:ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
  chmod 0440 "$root/etc/sudoers.d/$user"
  mount_root "$root"
  chroot "$root" apt-get update -q >/dev/null

  # The branch as it is committed, cloned by the user with the root's own git.
  commit=$(git rev-parse --short "$branch")
  git bundle create -q "$root/tmp/sample-drawing.bundle" "$branch"
  as_newcomer git clone -q --branch "$branch" /tmp/sample-drawing.bundle "/home/$user/sample-drawing"
  echo "Cloned $branch at $commit as $user, in the sudo group"

  run_as_newcomer demo scripts/demo.sh
  run_as_newcomer test scripts/test.sh
  if [ "$(figure "$root.test.figures" status)" != 0 ]; then
    tail -n 40 "$root.test.log" >&2
  fi

  deb=$(ls "$root/home/$user/sample-drawing/build/release/"sample-drawing_*.deb 2>/dev/null | head -n 1)
  if [ -n "$deb" ]; then
    scripts/check-package.sh "$codename" "$deb" >"$root.package.log" 2>&1 || true
    tail -n 1 "$root.package.log"
  fi
  stop_root_processes "$root"
  unmount_root "$root"
  release_table || true
done
root=

echo
echo "=== Bare Debian releases, as a newcomer in the sudo group ==="
for root in "${tables[@]}"; do
  resolve_release "$(basename "$root")"
  release_table || failed=1
done
root=
exit "$failed"
