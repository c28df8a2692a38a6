#!/usr/bin/env bash
# Writes the fuzz targets' starting inputs, made by the test writers, into
# FOLDER/<target> for stg_fuzz, compound_file_disk_fuzz, mixtures_fuzz,
# ini_text_fuzz and whole_path_fuzz.
#   bash scripts/fuzz-seeds.sh FOLDER
# Builds the writer program in the ordinary build folder (build) first.
set -euo pipefail
cd "$(dirname "$0")/.."

folder="${1:?usage: scripts/fuzz-seeds.sh FOLDER}"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build --target tavrin_fuzz_seeds -j 4 > /dev/null
build/tests/tavrin_fuzz_seeds "$folder"
