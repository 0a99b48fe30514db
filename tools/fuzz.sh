#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build/fuzz and runs each one after the other with
# its seed corpus (tests/fuzz/corpus/<target>), then prints executions, coverage and findings.
#
#   tools/fuzz.sh [SECONDS]        seconds per target, default 300; at most FUZZ_RUNS executions
#   FUZZ_TARGETS="Formula TdbLoad" tools/fuzz.sh 60     only some targets
#
# New inputs go to build/fuzz/corpus/<target>, crashes, leaks and slow inputs to
# build/fuzz/findings/<target>; the committed seeds are never changed. Runs one worker at the
# lowest priority, with 512 MB of memory and 1 s per input at most; an input stopped as slow
# that runs fast alone (the machine was busy) goes to findings/<target>/stalled and the run
# goes on.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-300}
RUNS=${FUZZ_RUNS:-1000000}
BUILD=build/fuzz
ALL_TARGETS="WorkbookImport RoundTrip Formula TdbLoad ReferenceFile SectionStore ParameterString MolDefinition AmountText"
TARGETS=${FUZZ_TARGETS:-$ALL_TARGETS}

source tools/packages.sh
ploxen_ensure_packages --with-fuzz
if ! command -v clang++ >/dev/null || ! ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a >/dev/null 2>&1; then
  echo "fuzz.sh: clang or libFuzzer is still missing after the install (clang, libclang-rt-14-dev)" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPLOXEN_FUZZ=ON -DPLOXEN_BUILD_TESTS=OFF -DPLOXEN_BUILD_BENCH=OFF >/dev/null
nice -n 19 cmake --build "$BUILD" -j 2 --target fuzzers

max_len() {
  case "$1" in
    WorkbookImport | RoundTrip) echo 65536 ;;
    TdbLoad) echo 16384 ;;
    *) echo 4096 ;;
  esac
}

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
summary=()
failed=0
for t in $TARGETS; do
  work="$BUILD/corpus/$t"
  findings="$BUILD/findings/$t"
  log="$BUILD/logs/$t.log"
  mkdir -p "$work" "$findings" "$BUILD/logs"
  : >"$log"
  echo "== $t: up to $SECONDS_PER_TARGET s or $RUNS executions" >&2
  start=$(date +%s)
  status=0
  execs=0
  finding="no finding"
  stalls=0
  # libFuzzer measures the time per input on the wall clock: on a loaded machine at the lowest
  # priority a fast input can be stopped as slow. A timeout is a finding only when its input is
  # slow when run alone as well; otherwise the run goes on with the corpus it has grown so far.
  while :; do
    left=$((SECONDS_PER_TARGET - ($(date +%s) - start)))
    runs_left=$((RUNS - execs))
    [ "$left" -gt 0 ] && [ "$runs_left" -gt 0 ] || break
    part="$log.part"
    status=0
    nice -n 19 "$BUILD/bin/fuzz_$t" -max_total_time="$left" -runs="$runs_left" \
      -rss_limit_mb=512 -timeout=1 -detect_leaks=1 -max_len="$(max_len "$t")" \
      -print_final_stats=1 -artifact_prefix="$findings/" "$work" "tests/fuzz/corpus/$t" \
      >"$part" 2>&1 || status=$?
    cat "$part" >>"$log"
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$part" | tail -1)
    execs=$((execs + ${n:-0}))
    [ "$status" -eq 0 ] && break
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$part" | tail -1)
    if grep -q 'ERROR: libFuzzer: timeout' "$part" && [ -n "$artifact" ] &&
       "$BUILD/bin/fuzz_$t" -timeout=1 -runs=3 "$artifact" >"$part.alone" 2>&1; then
      stalls=$((stalls + 1))
      mkdir -p "$findings/stalled"
      mv "$artifact" "$findings/stalled/"
      continue
    fi
    finding=$(grep -m1 -oE 'ERROR: [A-Za-z]+: [^ ]+|deadly signal|out-of-memory|detected memory leaks' "$part" || echo "exit $status")
    failed=1
    break
  done
  rm -f "$log.part" "$log.part.alone"
  seconds=$(($(date +%s) - start))
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
  [ "$stalls" -gt 0 ] && finding="$finding; $stalls stalled inputs fast alone (machine load)"
  summary+=("$(printf '%-16s %10s execs %7s edges %5s s  %s' "$t" "$execs" "${cov:-?}" \
    "$seconds" "$finding")")
done

printf '%s\n' "${summary[@]}"
echo "logs in $BUILD/logs, findings in $BUILD/findings"
exit "$failed"
