#!/usr/bin/env bash
# Installs every toolchain and library the five builds need, and unpacks the
# jsoncpp sources that the cross builds (linux32, win64, win32) compile.
# Idempotent: a second run only checks. Needs root when something is missing.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$repo/build/_deps-src"

packages=(
  cmake ninja-build g++ pkg-config python3
  libjsoncpp-dev googletest libgtest-dev
  g++-multilib qemu-user
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64
  dpkg-dev xvfb xdotool
)

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# Runs a command silently; on failure shows its output and stops.
quiet() {
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "setup.sh: failed: $*" >&2
    exit 1
  fi
}
need_root() {
  if ((EUID != 0)); then
    echo "setup.sh: $1 needs root" >&2
    exit 1
  fi
}

export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
  need_root "installing ${missing[*]}"
  echo "setup.sh: installing ${missing[*]}"
  quiet apt-get update
  quiet apt-get install -y "${missing[@]}"
fi

# jsoncpp: the same Debian source version as the native libjsoncpp-dev, so all
# five builds parse and write JSON with the same code.
version=$(dpkg-query -W -f='${source:Version}' libjsoncpp-dev)
stamp="$deps/jsoncpp/.debian-source-version"
if [[ $(cat "$stamp" 2>/dev/null) != "$version" ]]; then
  need_root "fetching the jsoncpp sources"
  echo "setup.sh: fetching jsoncpp $version sources"

  # A private apt configuration with source entries derived from the machine's
  # own; the system's sources, lists and caches stay untouched.
  apt_dir="$deps/apt"
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" \
           "$apt_dir/cache/archives/partial"
  : >"$apt_dir/sources.list"
  if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      >"$apt_dir/sources.list.d/debian-src.sources"
  fi
  if [[ -f /etc/apt/sources.list ]]; then
    sed -n 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list \
      >"$apt_dir/sources.list"
  fi
  apt=(apt-get -q
       -o Dir::Etc::SourceList="$apt_dir/sources.list"
       -o Dir::Etc::SourceParts="$apt_dir/sources.list.d"
       -o Dir::State::Lists="$apt_dir/lists"
       -o Dir::Cache="$apt_dir/cache"
       -o APT::Sandbox::User=root)
  quiet "${apt[@]}" update

  work=$(mktemp -d "$deps/fetch.XXXXXX")
  (cd "$work" && quiet "${apt[@]}" source --only-source "libjsoncpp=$version")
  unpacked=("$work"/libjsoncpp-*/)
  [[ -f ${unpacked[0]}CMakeLists.txt ]] || { echo "setup.sh: no jsoncpp tree in $work" >&2; exit 1; }
  rm -rf "$deps/jsoncpp"
  mv "${unpacked[0]}" "$deps/jsoncpp"
  echo "$version" >"$stamp"
  rm -rf "$work" "$apt_dir"
fi

echo "setup.sh: ready (jsoncpp $version sources in ${deps#"$repo"/}/jsoncpp)"
