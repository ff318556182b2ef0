#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, with the address and undefined-
# behaviour sanitizers) and runs each for SECONDS (default 60) on its seed
# corpus and dictionary, printing how many inputs each ran. Any finding (a
# crash, a sanitizer report, a leak, a timeout, running out of memory) fails
# the run; the input that caused it is kept under build/fuzz/findings/.
#   bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
bash scripts/install-deps.sh cmake ninja-build clang libclang-rt-14-dev libtag1-dev pkg-config
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DTABULON_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build/fuzz

# A smaller quarantine than the default keeps freed memory poisoned for long
# enough for inputs this small, and spares the harnesses a fresh page for
# nearly every allocation; shorter allocation stacks are recorded faster.
export ASAN_OPTIONS=quarantine_size_mb=16:malloc_context_size=8:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for name in config_roundtrip database_roundtrip make_list add_item csv_read; do
  work=build/fuzz/corpus/$name
  findings=build/fuzz/findings/$name
  log=build/fuzz/$name.log
  mkdir -p "$work" "$findings"
  # New inputs go to the working corpus; the seeds in the repository stay as they are.
  if ! build/fuzz/fuzz/fuzz_$name -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -dict="fuzz/$name.dict" -artifact_prefix="$findings/" -print_final_stats=1 \
      "$work" "fuzz/corpus/$name" >"$log" 2>&1; then
    status=1
    echo "FINDING in $name (the input is in $findings/):"
    tail -40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  printf '%-20s %12s executions in %ss, %8s per second\n' "$name" "${runs:-?}" "$seconds" "${rate:-?}"
done
exit $status
