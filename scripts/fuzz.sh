#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build/fuzz) and runs each for a
# short fixed time on its seeds and regression inputs. Inputs that find new
# paths go to build/fuzz/corpus/, never into the repository; a crash stops
# the script with the input saved under build/fuzz/crashes/<target>/ (mend
# the fault, then keep the input in fuzz/regressions/<target>/).
#
#   FUZZ_SECONDS   time per target (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

seconds=${FUZZ_SECONDS:-15}
targets=(registry_reader timer_state_load property_stream description_reader di_header replay_export)
targets+=(stream_halves summary_cache)

cmake -S . -B build/fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DONDREL_BUILD_FUZZ=ON -DONDREL_BUILD_TESTS=OFF -DONDREL_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz -j2 --target fuzz_targets

for t in "${targets[@]}"; do
  echo "== fuzz_$t (${seconds} s)"
  work=build/fuzz/corpus/$t
  crashes=build/fuzz/crashes/$t
  log=build/fuzz/$t.log
  mkdir -p "$work" "$crashes"
  inputs=(fuzz/corpus/"$t")
  [ -d fuzz/regressions/"$t" ] && inputs+=(fuzz/regressions/"$t")
  rc=0
  build/fuzz/bin/fuzz_"$t" -max_total_time="$seconds" -timeout=10 -artifact_prefix="$crashes/" \
    -print_final_stats=1 "$work" "${inputs[@]}" >"$log" 2>&1 || rc=$?
  grep -E '^(INFO: seed corpus|#[0-9]+ +DONE|stat::number_of_executed_units|stat::new_units_added)' "$log" || true
  if [ "$rc" -ne 0 ]; then
    tail -n 60 "$log"
    echo "fuzz_$t failed (exit $rc): the input is in $crashes/"
    exit 1
  fi
done
