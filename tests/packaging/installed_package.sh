#!/usr/bin/env bash
# Installs the build into a fresh prefix and uses it as a host project would, from there alone.
#
#   installed_package.sh BUILD CONSUMER PICTURE [CXXFLAGS]
#
# Runs `cmake --install BUILD` into a new scratch prefix (removed at exit) and moves the prefix
# elsewhere, then builds the program of the folder CONSUMER twice against the moved prefix, once through its CMake package
# (find_package(Vesk)) and once with pkg-config and the compiler alone, each with CXXFLAGS, and
# runs both (a schema repair, a photo stored and read back from PICTURE). Then checks that the
# installed `vesk` links the prefix's libraries and that `vesk components register` records
# their paths, in the user's registry and with --system in the system-wide one. Exits 1 at the
# first step that fails.
set -euo pipefail

usage="usage: installed_package.sh BUILD CONSUMER PICTURE [CXXFLAGS]"
build=${1:?$usage}
consumer=$(realpath "${2:?$usage}")
picture=$(realpath "${3:?$usage}")
read -ra flags <<<"${4:-}"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vesk-prefix.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
prefix=$(realpath "$scratch")/moved
fail() { echo "installed_package: $*" >&2; exit 1; }

# Installed in one place and used from another: nothing may name the first.
cmake --install "$build" --prefix "$scratch/installed" >"$scratch/install.log" ||
  { cat "$scratch/install.log" >&2; fail "cmake --install failed"; }
mv "$scratch/installed" "$prefix"
for file in bin/vesk share/man/man1/vesk.1 share/doc/vesk/LICENSE \
    include/vesk/photo_store/c_picture.h include/vesk/component_hosting/late_bound_object.h; do
  [ -f "$prefix/$file" ] || fail "the prefix has no $file"
done

# Through the CMake package.
cmake -S "$consumer" -B "$scratch/cmake-build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_FLAGS="${flags[*]}" >"$scratch/cmake.log" ||
  { cat "$scratch/cmake.log" >&2; fail "configuring against the CMake package failed"; }
cmake --build "$scratch/cmake-build" >"$scratch/cmake.log" ||
  { cat "$scratch/cmake.log" >&2; fail "building against the CMake package failed"; }
mkdir "$scratch/run-cmake"
"$scratch/cmake-build/consumer" "$scratch/run-cmake" "$picture"

# Through pkg-config.
pc=$(find "$prefix" -name vesk-photo.pc)
[ -n "$pc" ] || fail "the prefix has no vesk-photo.pc"
export PKG_CONFIG_PATH=$(dirname "$pc")
read -ra pkg <<<"$(pkg-config --cflags --libs vesk-photo vesk-pay-db-utilities)"
libdir=$(pkg-config --variable=libdir vesk-photo)
c++ "${flags[@]}" -o "$scratch/pc-consumer" "$consumer/main.cpp" "${pkg[@]}" \
  "-Wl,-rpath,$libdir" || fail "building with pkg-config failed"
mkdir "$scratch/run-pc"
"$scratch/pc-consumer" "$scratch/run-pc" "$picture"

# The installed program and its libraries.
links=$(ldd "$prefix/bin/vesk")
for library in libVeskData.so.1 libVeskPhoto.so.1 libVeskPayDBUtilities.so.1 \
    libVeskDatabaseUtilities.so.2 libVeskLateBinding.so.1; do
  grep -qF "$library => $prefix/" <<<"$links" ||
    fail "the installed vesk does not use $library of the prefix: $links"
done
export HOME=$scratch/home XDG_DATA_HOME=$scratch/data XDG_CONFIG_DIRS=$scratch/config
registered=$("$prefix/bin/vesk" components register)
system=$("$prefix/bin/vesk" components register --system)
for library in libVeskPhoto.so.1.1 libVeskPayDBUtilities.so.1.0 libVeskDatabaseUtilities.so.2.1; do
  path=$(realpath "$(dirname "$pc")/../$library")
  grep -qF "($path)" <<<"$registered" || fail "register did not record $path: $registered"
  grep -qF "InprocServer = $path" "$scratch/data/vesk/components.reg" ||
    fail "the user's registry does not name $path"
  grep -qF "InprocServer = $path" "$scratch/config/vesk/components.reg" ||
    fail "the system-wide registry does not name $path: $system"
done
echo "installed into $prefix; both programs ran; vesk registered the prefix's libraries"
