#!/usr/bin/env bash
# Builds Arvestra and runs every test once: a release build of the programs with the editor's
# tests, then the core and tools with all their tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the worker handshake under ThreadSanitizer, and each libFuzzer
# target for a short run when clang is present. (`cmake --preset release` alone builds every
# test in the release build too.)
set -euo pipefail
cd "$(dirname "$0")"

./scripts/ensure-packages.sh

jobs=$(nproc)
fuzz_seconds=${ARVESTRA_FUZZ_SECONDS:-30}

step() { printf '\n=== %s\n' "$*"; }

step "Release build"
# The core's tests run below under the sanitizers; here only the editor's, which need the GUI.
cmake --preset release -DARVESTRA_BUILD_CORE_TESTS=OFF
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

step "Install into a temporary prefix, run the installed programs, build the Debian package"
./scripts/check-install.sh build/release --package

step "AddressSanitizer + UndefinedBehaviorSanitizer build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

step "ThreadSanitizer build (worker handshake, and a short soak against the simulator)"
cmake --preset tsan
cmake --build --preset tsan -j "$jobs" --target test_link test_document test_soak
ctest --preset tsan -j "$jobs"
TSAN_OPTIONS=halt_on_error=1 ARVESTRA_SOAK_SECONDS=${ARVESTRA_TSAN_SOAK_SECONDS:-5} \
  build/tsan/tests/test_soak

if command -v clang++ >/dev/null; then
  step "Fuzzing, ${fuzz_seconds} s per target"
  cmake --preset fuzz
  cmake --build --preset fuzz -j "$jobs" --target fuzz_targets
  shopt -s nullglob
  for target in build/fuzz/fuzz/fuzz_*; do
    [[ -x "$target" ]] || continue
    name=$(basename "$target")
    # New finds go to the build tree; the seeds kept in the repository are read, never written.
    corpus="build/fuzz/corpus-$name"
    seeds="fuzz/corpus/${name#fuzz_}"
    mkdir -p "$corpus"
    echo "--- $name"
    if [[ -d "$seeds" ]]; then
      "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus" "$seeds"
    else
      "$target" -max_total_time="$fuzz_seconds" -print_final_stats=1 "$corpus"
    fi
  done
fi

step "All tests passed"
