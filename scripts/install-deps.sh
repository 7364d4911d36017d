#!/usr/bin/env bash
# Installs every Debian 12 package the build, the tests and the tools need, and the
# jcampconverter npm package the JCAMP-DX reader check uses (into build/node, or
# $LUMATIX_NODE_PREFIX; never into the sources).
# Idempotent: when everything is present it changes nothing and needs no network.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
node_prefix="${LUMATIX_NODE_PREFIX:-$repo/build/node}"

packages=(
  build-essential cmake ninja-build ccache pkg-config
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev nlohmann-json3-dev
  libpam0g-dev libpam-wrapper libnss-wrapper libuid-wrapper
  librsvg2-bin
  python3 python3-numpy python3-scipy python3-grpcio
  nodejs
  libeigen3-dev
  qt6-base-dev libgl-dev fonts-dejavu-core xvfb xauth
  libgrpc++-dev libprotobuf-dev protobuf-compiler protobuf-compiler-grpc
)
# npm comes with some builds of nodejs; Debian's own package only when it is missing.
command -v npm >/dev/null 2>&1 || packages+=(npm)

install_jcampconverter() {
  [ -f "$node_prefix/node_modules/jcampconverter/package.json" ] && return 0
  mkdir -p "$node_prefix"
  # Only one test needs it, and it skips itself without it: never fail the set-up for it.
  npm install --prefix "$node_prefix" --no-audit --no-fund jcampconverter ||
    echo "jcampconverter could not be installed; the JCAMP-DX reader check will be skipped" >&2
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  install_jcampconverter
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_jcampconverter
