#!/usr/bin/env bash
# Set up, build and start the program.
#   bash scripts/run.sh          the program on the user's own profile
#   bash scripts/run.sh --demo   a whole sampling run on a profile of its own
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

if [ "${1:-}" = "--demo" ]; then
  shift
  # The demo's settings and cylinder database live in the build folder; the
  # program finds them through the XDG folders of this one process, so the
  # user's own profile is never read or written. Made afresh every time.
  demo="$PWD/build/demo"
  rm -rf "$demo"
  ./build/tools/tavrin_sampleset "$demo/set"
  mkdir -p "$demo/config/Quindle" "$demo/data/Morvane/Add/tavrin"
  cp "$demo/set/tavrin.conf" "$demo/config/Quindle/tavrin.conf"
  cp "$demo/set/MixturesData" "$demo/data/Morvane/Add/tavrin/MixturesData"
  exec env XDG_CONFIG_HOME="$demo/config" XDG_DATA_HOME="$demo/data" ./build/src/tavrin "$@"
fi
exec ./build/src/tavrin "$@"
