#!/usr/bin/env bash
# Installs, from Debian 12 packages, whatever the whole suite needs to build, test, run and
# benchmark. Idempotent: when everything is present it only checks and exits, without
# touching the package lists, so `make test` stays fast on a prepared machine.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config make python3 clang clang-format clang-tidy libclang-rt-14-dev
  # Qt 6 for the three desktop programs
  qt6-base-dev qt6-charts-dev qt6-multimedia-dev qt6-tools-dev qt6-tools-dev-tools libgl-dev
  # Qt Charts needs the Qt OpenGL module's CMake files
  libqt6opengl6-dev
  # movie export (AVI through FFmpeg)
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev ffmpeg
  # overlays drawn with cairo, and fonts for their text
  libcairo2-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
  # snapshots
  libjpeg62-turbo-dev libturbojpeg0-dev libpng-dev
  # float TIFF output of the command-line tool
  libtiff-dev
  # the optional stylesheet of the analyzer's object file
  libxslt1-dev
  # camera discovery over DNS-SD
  avahi-daemon avahi-utils libavahi-compat-libdnssd-dev libavahi-compat-libdnssd1 dbus
  # tests and benchmarks
  libgtest-dev libgmock-dev googletest libbenchmark-dev xvfb xauth libopencv-dev
  # the report program's PDF checks (pdftoppm, pdftotext)
  poppler-utils
  # end-to-end helpers: network namespaces, the neighbour table
  iproute2
  # installing and packaging: icon rendering, desktop and AppStream checks, the Debian
  # package tools, and the Python module with its tests
  librsvg2-bin desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db dpkg-dev
  python3-numpy python3-pytest
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: everything is present"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
echo "install-deps: done"
