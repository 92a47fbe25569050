#!/usr/bin/env bash
# Builds the file fuzzers with clang and runs each on a copy of its seeds for
# a while (60 seconds each, or as many as the first argument says). Fails when
# one finds a crash; the input that crashed is kept in build-fuzz/crashes/.
# The loaders read from memory: the number of inputs run is printed for each.
# The replay fuzzer plays what it reads through the whole game, so it runs
# far fewer inputs a second than the others.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/common.sh
setup
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLMOOR_FUZZ=ON -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_settings fuzz_world fuzz_area fuzz_replay
mkdir -p build-fuzz/crashes
# The fuzzers work in scratch folders of their own: paths given to them are absolute.
for target in settings world area replay; do
  corpus=$(mktemp -d)
  cp tests/fuzz/seeds/"$target"/* "$corpus"/
  echo "fuzzing the $target loader for $seconds s"
  status=0
  # An area file reaches 256 x 256 blocks: 65,548 bytes and its people.
  maxlen=16384
  [ "$target" = area ] && maxlen=70000
  ./build-fuzz/fuzz_"$target" "$corpus" -max_total_time="$seconds" -max_len="$maxlen" \
    -artifact_prefix="$PWD/build-fuzz/crashes/$target-" -print_final_stats=1 >build-fuzz/fuzz_"$target".log 2>&1 || status=$?
  grep -E 'stat::number_of_executed_units|ERROR|check failed|SUMMARY' build-fuzz/fuzz_"$target".log || true
  rm -rf "$corpus"
  if [ "$status" -ne 0 ]; then
    echo "the $target fuzzer found a crash: see build-fuzz/crashes/"
    exit 1
  fi
done
