#!/usr/bin/env bash
# Installs the Debian packages the build needs when some are missing.
# Sourced by run.sh and test.sh; stops with a clear message when it cannot.

PLOXEN_PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  liborcus-dev libxlsxwriter-dev zlib1g-dev libzip-dev
  locales
  qt6-base-dev qt6-svg-dev libqt6svg6 qt6-charts-dev libqt6opengl6-dev
)

# Only the tests need these: LibreOffice is the independent client that opens the
# workbooks the engine writes and recalculates them, and the live server the UNO tests drive;
# libreoffice-dev brings the SDK that builds that server. The fonts draw the GUI tests' and the
# screenshots' text on the offscreen platform.
PLOXEN_TEST_PACKAGES=(
  libreoffice-calc-nogui python3-uno libreoffice-dev
  fonts-dejavu-core
)

ploxen_missing_packages() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]}"
}

# Only tools/fuzz.sh needs these: clang builds the fuzz targets, libclang-rt-14-dev holds
# libFuzzer and clang's sanitizer runtimes.
PLOXEN_FUZZ_PACKAGES=(
  clang libclang-rt-14-dev
)

# Usage: ploxen_ensure_packages [--with-tests] [--with-fuzz]
ploxen_ensure_packages() {
  local wanted=("${PLOXEN_PACKAGES[@]}")
  local option
  for option in "$@"; do
    case "$option" in
      --with-tests) wanted+=("${PLOXEN_TEST_PACKAGES[@]}") ;;
      --with-fuzz) wanted+=("${PLOXEN_FUZZ_PACKAGES[@]}") ;;
    esac
  done
  if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "ploxen: this build needs a Debian system with dpkg and apt-get." >&2
    return 1
  fi
  local missing
  missing=$(ploxen_missing_packages "${wanted[@]}")
  if [ -n "$missing" ]; then
    echo "ploxen: installing missing packages: $missing" >&2
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
      if command -v sudo >/dev/null 2>&1; then
        sudo="sudo"
      else
        echo "ploxen: missing packages ($missing) and not root; install them with apt-get as root." >&2
        return 1
      fi
    fi
    export DEBIAN_FRONTEND=noninteractive
    if ! $sudo apt-get update -qq; then
      echo "ploxen: apt-get update failed; cannot install: $missing" >&2
      return 1
    fi
    # shellcheck disable=SC2086
    if ! $sudo apt-get install -y -qq --no-install-recommends $missing; then
      echo "ploxen: apt-get install failed for: $missing" >&2
      return 1
    fi
  fi
  ploxen_ensure_test_locale
}

# A comma-decimal locale proves that number text never follows the process locale.
ploxen_ensure_test_locale() {
  if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    if [ "$(id -u)" -eq 0 ] && command -v localedef >/dev/null 2>&1; then
      localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
        echo "ploxen: could not generate de_DE.UTF-8; the locale test will be skipped." >&2
    fi
  fi
  return 0
}
