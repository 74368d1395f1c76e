#!/bin/sh
# The installed tree and the Debian packages as their users meet them:
# - cmake --install into a prefix, every installed header compiled and the
#   pkg-config example built against it;
# - cpack, the packages unpacked into a root (the dev and programs packages
#   need the runtime of their version), the CMake example built against
#   that root, and the packaged demo playing a clip.
#   check_install.sh <build tree> <examples folder> <C++ compiler>
set -eu
build=$1 examples=$2 cxx=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

cmake --install "$build" --prefix prefix >/dev/null
export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
(cd prefix/include/quor && grep -rl '^#pragma once' . | sed 's/.*/#include "&"/') >headers.cpp
# shellcheck disable=SC2046 # the flags are words
"$cxx" -std=c++17 -fsyntax-only headers.cpp $(pkg-config --cflags quor)
# shellcheck disable=SC2046 # the flags are words
"$cxx" -std=c++17 "$examples/pkg-config/queue_roundtrip.cpp" -o queue_roundtrip \
    $(pkg-config --cflags --libs quor) -Wl,-rpath,"$(pkg-config --variable=libdir quor)"
./queue_roundtrip

cpack --config "$build/CPackConfig.cmake" >/dev/null
for package in libquor-dev quor-tools; do
    dpkg-deb -f "$package"_*.deb Depends | grep -q 'libquor0 (= ' ||
        { echo "$package does not require libquor0 of its version" >&2; exit 1; }
done
for deb in libquor0_*.deb libquor-dev_*.deb quor-tools_*.deb; do
    dpkg-deb -x "$deb" root
done
cmake -S "$examples/cmake" -B loader -DCMAKE_PREFIX_PATH="$work/root/usr" >/dev/null
cmake --build loader >/dev/null
loader/plugin_loader
root/usr/bin/quor-demo 'http://media.example/t.mp4?duration=1' | grep -F "played to its end"
