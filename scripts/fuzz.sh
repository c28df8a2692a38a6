#!/usr/bin/env bash
# Builds one libFuzzer target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz and runs it for a while.
#   bash scripts/fuzz.sh [TARGET] [SECONDS] [FUZZER OPTIONS...]   (defaults: compound_file_fuzz 60)
# Targets: compound_file_fuzz, compound_file_disk_fuzz, stg_fuzz, mixtures_fuzz,
# ini_text_fuzz, whole_path_fuzz.
# The corpus grows in build-fuzz/corpus/TARGET; crashing inputs land in
# build-fuzz/artifacts/TARGET. Seeds in fuzz/seeds/TARGET are used when present.
# TAVRIN_FUZZ_BUILD_DIR names another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

target="${1:-compound_file_fuzz}"
seconds="${2:-60}"
build="${TAVRIN_FUZZ_BUILD_DIR:-build-fuzz}"

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTAVRIN_BUILD_FUZZ=ON -DTAVRIN_BUILD_TESTS=OFF -DTAVRIN_BUILD_BENCH=OFF > /dev/null
cmake --build "$build" --target "$target" -j 4

corpus="$build/corpus/$target"
artifacts="$build/artifacts/$target"
mkdir -p "$corpus" "$artifacts"
if [ -d "fuzz/seeds/$target" ]; then
  cp -n "fuzz/seeds/$target"/* "$corpus"/ 2>/dev/null || true
fi

# The chromatogram, file-on-disk, cylinder, profile and whole-path targets
# start from inputs the test writers make, each shaped for the route it is
# meant for; the whole path's are the sample set and its parts, sampled
# less often than the set itself.
case "$target" in
  stg_fuzz|compound_file_disk_fuzz|mixtures_fuzz|ini_text_fuzz|whole_path_fuzz)
    if [ -z "$(ls -A "$corpus")" ]; then
      seeds="$build/seeds"
      bash scripts/fuzz-seeds.sh "$(realpath "$seeds")"
      cp -n "$seeds/$target"/* "$corpus"/
    fi
    ;;
esac

# Otherwise, start from a few small compound files written by libgsf's tool,
# with the stream names of a chromatogram file.
if [ -z "$(ls -A "$corpus")" ] && command -v gsf > /dev/null; then
  tmp="$(mktemp -d)"
  trap 'rm -rf "$tmp"' EXIT
  mkdir -p "$tmp/a" "$tmp/b" "$tmp/c"
  # head reads from files, not pipes, so nothing dies of SIGPIPE under pipefail.
  head -c 5000 /dev/zero | tr '\0' 'r' > "$tmp/a/Raw_data"
  printf '\x00\x00\x00\x00\xcd\xcc\x4c\x3d\xcd\xcc\xcc\x3d' > "$tmp/a/Time"
  head -c 700 /dev/zero | tr '\0' 't' > "$tmp/a/Table"
  head -c 300 /dev/zero | tr '\0' 'p' > "$tmp/a/Passport"
  gsf createole "$corpus/seed-stg.cfb" "$tmp/a/Raw_data" "$tmp/a/Time" "$tmp/a/Table" "$tmp/a/Passport" > /dev/null 2>&1
  printf 'x' > "$tmp/b/One"
  gsf createole "$corpus/seed-one.cfb" "$tmp/b/One" > /dev/null 2>&1
  head -c 4096 /dev/zero | tr '\0' 'e' > "$tmp/c/Exact"
  : > "$tmp/c/Empty"
  gsf createole "$corpus/seed-cutoff.cfb" "$tmp/c/Exact" "$tmp/c/Empty" > /dev/null 2>&1
fi

# Inputs stay small, so neither a long run nor a large allocation has an excuse;
# files on disk are read in windows only past 64 KiB, so theirs may be larger.
max_len=65536
extra=()
if [ "$target" = compound_file_disk_fuzz ]; then
  max_len=262144
fi
# A whole-path input takes from a few milliseconds (one run) to a hundred (the
# whole set); the schedule gives the quicker ones more turns.
if [ "$target" = whole_path_fuzz ]; then
  extra=(-entropic_scale_per_exec_time=1)
fi
"$build/fuzz/$target" "$corpus" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
  -malloc_limit_mb=256 -artifact_prefix="$artifacts/" -print_final_stats=1 "${extra[@]}" "${@:3}"
