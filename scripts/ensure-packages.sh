#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Arvestra need, when missing.
# As root: apt-get update once, then apt-get install -y. Otherwise: print the command and fail.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  qt6-websockets-dev
  libboost-dev libssl-dev libqrencode-dev zbar-tools
  clang libclang-rt-14-dev
  xvfb xauth
  ser2net
  liblo-dev liblo-tools
  locales help2man dpkg-dev
)

# The number-format tests run under a German locale, which writes "2,5".
ensure_test_locale() {
  locale -a 2>/dev/null | grep -i '^de_DE\.utf-\?8$' > /dev/null && return 0
  if [[ $(id -u) -ne 0 ]]; then
    echo "The de_DE.UTF-8 locale is missing (its tests will be skipped); generate it with:" >&2
    echo "  sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8" >&2
    return 0
  fi
  localedef -i de_DE -f UTF-8 de_DE.UTF-8
}

# The browser test of the remote-control page is opt-in (ARVESTRA_BROWSER_TESTS=1): its browser
# is large, so only machines that run it install it.
if [[ "${ARVESTRA_BROWSER_TESTS:-0}" == 1 ]]; then
  packages+=(chromium)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  ensure_test_locale
  exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y "${missing[@]}"
ensure_test_locale
