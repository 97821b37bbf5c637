# Debian packages the scripts need, and a function that installs the missing
# ones. Sourced by scripts/test, scripts/demo and the others.

BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev
  libtomlplusplus-dev nlohmann-json3-dev
  libsqlite3-dev libpq-dev libssl-dev
  postgresql
  chromium
  fonts-wqy-microhei
  qt6-translations-l10n
  libcanberra0
)

# What scripts/package-deb needs beyond the build: CPack's shlibdeps and the
# checkers.
PACKAGING_PACKAGES=(dpkg-dev lintian desktop-file-utils appstream)

# The Windows cross-build and its tests under Wine (always through
# scripts/lib/wine-session.sh, which hides the console ttyS0 from Wine), and
# what scripts/lib/windows-deps needs to fetch and build SQLite and libpq
# from Debian's sources (dpkg-source, SQLite's generators, a native compiler).
WINDOWS_PACKAGES=(
  cmake ninja-build ccache g++-mingw-w64-x86-64-posix googletest
  wine wine64 util-linux
  dpkg-dev tcl gcc make
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_missing() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# Every build folder configured by the scripts compiles through ccache (in
# BUILD_PACKAGES and WINDOWS_PACKAGES), so what an earlier build on this
# machine compiled takes no time. The compiler sees paths relative to the
# repository (CCACHE_BASEDIR), and the working directory stays out of the
# hash even with debug information (CCACHE_NOHASHDIR), so a clone at another
# path or a build folder of another name finds what was compiled before; an
# object taken from the cache names the folder it was first compiled in as
# its debug information's working directory. A launcher the caller set is
# kept; an empty one builds without ccache.
CCACHE_BASEDIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export CCACHE_BASEDIR CCACHE_NOHASHDIR=1
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER-ccache}
