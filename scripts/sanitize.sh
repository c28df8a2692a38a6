#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize and runs the whole suite there,
# leaks detected; the first fault ends the test that meets it. Not part of CI.
#   bash scripts/sanitize.sh [CTEST OPTIONS...]
# TAVRIN_SANITIZE_BUILD_DIR names another build folder; TAVRIN_SANITIZE_JOBS the
# number of jobs of the build and of the tests (4); CXX picks the compiler.
set -euo pipefail
cd "$(dirname "$0")/.."

build="${TAVRIN_SANITIZE_BUILD_DIR:-build-sanitize}"
jobs="${TAVRIN_SANITIZE_JOBS:-4}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVRIN_BUILD_BENCH=OFF "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" > /dev/null
cmake --build "$build" -j "$jobs"

# The sanitizer's own new and delete stay, with their check of mismatched
# allocation and release. They end the program rather than throw
# std::bad_alloc when an allocation is refused, so the tests that cap the
# address space step aside here (tests/support/AddressSpaceCap.h); they run
# capped in the plain build.
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$jobs" "$@"
