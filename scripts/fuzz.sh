#!/usr/bin/env bash
# Builds the libFuzzer targets with Clang and runs each for the given number of seconds (default
# 60), one after the other: bash scripts/fuzz.sh [seconds] [target...]
# Each run starts from the target's seed corpus (tests/fuzz/corpus/<target>) and grows a working
# corpus in build/fuzz/corpus/<target>; crashes and broken invariants land in
# build/fuzz/findings/<target>. The script fails when any target found something.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

ZV_PACKAGES+=(clang libclang-rt-14-dev)
zv_install_missing

seconds="${1:-60}"
shift || true
cd "$ZV_ROOT"
if [ ! -f build/fuzz/CMakeCache.txt ]; then
  cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZV_BUILD_FUZZ=ON -DZV_BUILD_QT=OFF >/dev/null
fi
targets=("$@")
if ((${#targets[@]} == 0)); then
  for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
cmake --build build/fuzz --target "${targets[@]/#/fuzz-}"

failed=0
for t in "${targets[@]}"; do
  work="build/fuzz/corpus/$t"
  findings="build/fuzz/findings/$t"
  mkdir -p "$work" "$findings"
  echo "== fuzz-$t for ${seconds}s"
  if ! build/fuzz/tests/fuzz/fuzz-"$t" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$findings/" "$work" "tests/fuzz/corpus/$t" 2>"build/fuzz/$t.log"; then
    failed=1
    echo "fuzz-$t found a fault: see build/fuzz/$t.log and $findings"
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)|cov: " "build/fuzz/$t.log" | tail -3 || true
done
exit "$failed"
