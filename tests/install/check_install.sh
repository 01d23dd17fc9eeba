#!/usr/bin/env bash
# Installs the built library into a scratch prefix, then builds and runs the
# self-check example and the documented-calls host (tests/install/conformance)
# as separate projects that find the library with find_package(MKManikin
# CONFIG), checks pkg-config and that no internal header is installed, and
# runs the installed command-line tool and imports the Python module when
# they were built.
set -euo pipefail
build=$1
source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
cmake -S "$source/examples/selfcheck" -B "$scratch/consumer" \
  -DCMAKE_PREFIX_PATH="$scratch/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$scratch/consumer" >/dev/null
"$scratch/consumer/mkmanikin-selfcheck"
cmake -S "$source/tests/install/conformance" -B "$scratch/conformance" \
  -DCMAKE_PREFIX_PATH="$scratch/prefix" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$scratch/conformance"
"$scratch/conformance/mkmanikin-conformance"
if find "$scratch/prefix" -path '*include*/detail/*' | grep -q .; then
  echo "internal headers installed" >&2
  exit 1
fi

libdir=$(dirname "$(find "$scratch/prefix" -name 'libMKManikin.so' | head -1)")
PKG_CONFIG_PATH="$libdir/pkgconfig" pkg-config --cflags --libs MKManikin | grep -q -- '-lMKManikin'
test -f "$(find "$scratch/prefix" -path '*share/MKManikin/LumHumanModeling.msg' | head -1)"
# The installed tool finds the installed library and data on its own.
if [ -x "$scratch/prefix/bin/mkmanikin" ]; then
  table=$("$scratch/prefix/bin/mkmanikin" create --sex male --percentile 50 --format csv)
  grep -q '^STATURE,' <<<"$table"
fi
# The installed Python module, when it was built, imported from its
# site-packages directory by the interpreter it was built for.
module=$(find "$scratch/prefix" -path '*-packages/mkmanikin*.so' | head -1)
if [ -n "$module" ]; then
  stature=$(PYTHONPATH=$(dirname "$module") "${MKMANIKIN_PYTHON:-python3}" -c \
    "import mkmanikin; m = mkmanikin.Manikin.create(sex='female', percentile=5); print(m.dimensions['STATURE'])")
  [ "$stature" = 152.5 ] || { echo "installed Python module: stature $stature" >&2; exit 1; }
fi
echo "install check passed"
