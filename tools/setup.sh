#!/usr/bin/env bash
# Installs the Debian packages the project needs, when any is missing. Quick when all are there.
#   tools/setup.sh               everything: the builds, the tests, Windows and the packages
#   tools/setup.sh --first       what tools/check.sh and a Linux tree without the window need:
#                                test.sh installs it first and the rest while that tree builds
#   tools/setup.sh --packaging   what tools/package.sh needs to make the Debian packages
# As root it installs what is missing; otherwise it names the missing packages and fails.
set -euo pipefail

# tools/check.sh and a Linux tree without the window, its tests configured (GoogleTest, and
# libphonenumber, without which the generators that need it and their tests are left out): a
# fifth of the download, so that the first tree builds while the rest installs. The tests
# themselves need the rest (LibreOffice, Python's table modules, the file tools).
FIRST_PACKAGES=(
  cmake ninja-build g++ pkgconf python3 clang-format shellcheck time
  libicu-dev libjpeg62-turbo-dev libphonenumber-dev
  libgtest-dev libgmock-dev googletest
  # Workbooks: libxlsxwriter writes them, minizip and expat read them as a stream.
  libxlsxwriter-dev zlib1g-dev libminizip-dev libexpat1-dev
)

PACKAGES=(
  "${FIRST_PACKAGES[@]}"
  clang libclang-rt-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libbenchmark-dev
  xvfb xauth trayer openbox xdotool x11-utils imagemagick
  fonts-arphic-uming fonts-wqy-zenhei
  parallel
  qt6-translations-l10n
  # File tests: access control lists, extended attributes, a copy-on-write file system.
  acl attr btrfs-progs
  dpkg-dev lintian desktop-file-utils appstream man-db bash-completion rofi
  # The programs whose workbooks the samples under tests/ come from
  # (tools/make_sample_tables.py), which also read back what the program writes, and the
  # benchmark's rivals.
  libreoffice-calc-nogui python3-openpyxl python3-pandas python3-xlsxwriter
  # The Windows build: MinGW-w64 with std::thread, wine to run its tests, NSIS for the
  # installer, nasm for libjpeg-turbo's SIMD code. 32-bit programs build but cannot run here.
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 fonts-wine nsis zip unzip nasm
  # zlib for the Windows builds of minizip and libxlsxwriter.
  libz-mingw-w64-dev
)

# tools/package.sh: the Linux build tree (configured with its tests, so GoogleTest and Google
# Benchmark too) and Debian's packaging tools; no Windows, wine or test displays.
PACKAGING_PACKAGES=(
  cmake ninja-build g++ pkgconf python3
  libicu-dev libjpeg62-turbo-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libxlsxwriter-dev zlib1g-dev libminizip-dev libexpat1-dev
  dpkg-dev
)

packaging=0
case ${1-} in
  --packaging)
    packaging=1
    PACKAGES=("${PACKAGING_PACKAGES[@]}")
    ;;
  --first) PACKAGES=("${FIRST_PACKAGES[@]}") ;;
esac

# libjpeg-turbo, expat, minizip and libxlsxwriter for Windows are built from Debian's source
# packages (tools/windows/build-libjpeg.sh, build-table-libs.sh, build-libxlsxwriter.sh):
# apt needs a deb-src entry, which Debian's images do not ship. It points where the machine's
# deb entries point (a mirror or a proxy included). Packaging builds nothing for Windows.
have_deb_src() {
  grep -rqsiE '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/
}
deb_src_added=0
if ((!packaging)) && ! have_deb_src; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "apt has no deb-src entry (the Windows build needs one); run this as root to add it." >&2
    exit 1
  fi
  suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
  if ! entry=$("$(dirname "$0")/deb_src_entry.sh" "$suite"); then
    echo "apt has no deb entry for $suite to take a deb-src entry from; add one for $suite" \
      "to /etc/apt/sources.list.d/." >&2
    exit 1
  fi
  printf '%s\n' "$entry" >/etc/apt/sources.list.d/debian-src.sources
  deb_src_added=1
fi

# One dpkg-query for all: packages it does not know are missing too.
mapfile -t installed < <(dpkg-query -W -f='${Package} ${Status}\n' "${PACKAGES[@]}" 2>/dev/null |
  awk '$NF == "installed" && $(NF-1) == "ok" { print $1 }')
missing=()
for p in "${PACKAGES[@]}"; do
  [[ " ${installed[*]} " == *" $p "* ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "These packages are missing: ${missing[*]}" >&2
    echo "Run this as root to install them, or: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  deb_src_added=0
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ((deb_src_added)); then
  apt-get update -qq
fi
