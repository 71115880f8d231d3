#!/bin/bash
# Builds the libFuzzer targets in tests/fuzz with clang and runs each for a
# while, growing its corpus in tests/fuzz/corpus/<target> (new inputs land
# there, to be committed with the change that found them).
# Usage: tools/fuzz.sh [SECONDS]     SECONDS per target, 20 unless given
# Prints one line per target and exits non-zero when a target crashed; the
# crashing input is kept under build-fuzz/artifacts/<target>/ and its path is
# in the output.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]   (a whole number of seconds per target, at least 1)" >&2
  exit 2
fi

targets=(fuzz_paths fuzz_resolve)
build=build-fuzz
started=$(date +%s.%N)

# clang with its fuzzer and sanitizer runtimes; quiet and quick when present.
installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" = "install ok installed" ]
}
install_packages() {
  local missing=() package
  for package in "$@"; do
    installed "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
install_packages clang cmake make
# libFuzzer, ASan and UBSan are in the compiler-rt package of clang's own
# version, which plain clang only recommends.
clang_major=$(clang++ -dumpversion | cut -d. -f1)
install_packages "libclang-rt-${clang_major}-dev"

# Configure and build, showing the compiler's words only when it fails.
build_started=$(date +%s.%N)
mkdir -p "$build"
if ! cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
       -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1; then
  cat "$build/configure.log" >&2
  exit 1
fi
if ! cmake --build "$build" -j "$(nproc)" >"$build/build.log" 2>&1; then
  cat "$build/build.log" >&2
  exit 1
fi
since() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }
echo "built ${targets[*]} in $(since "$build_started") s; fuzzing each for $seconds s"

# The last value of a "stat::name: value" line of libFuzzer's final stats.
final_stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# fuzz_resolve's medium folder, where a sanitizer's abrupt end cannot leave it in /tmp.
export TMPDIR=$PWD/$build/tmp
failed=0
for target in "${targets[@]}"; do
  # New finds grow the committed corpus, except under CI, which leaves the
  # checkout as it found it and reads the committed corpus as seeds only.
  seeds=tests/fuzz/corpus/$target
  corpus=$seeds
  [ -n "${CI:-}" ] && corpus=$build/new-corpus/$target
  artifacts=$build/artifacts/$target
  log=$build/logs/$target.log
  rm -rf "$TMPDIR"
  mkdir -p "$corpus" "$artifacts" "$build/logs" "$TMPDIR"
  before=$(find "$corpus" -type f | wc -l)

  t0=$(date +%s%N)
  rc=0
  "$build/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 \
    -artifact_prefix="$artifacts/" "$corpus" "$seeds" >"$log" 2>&1 || rc=$?
  t1=$(date +%s%N)

  after=$(find "$corpus" -type f | wc -l)
  execs=$(final_stat number_of_executed_units "$log")
  rate=$(final_stat average_exec_per_sec "$log")
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n 1 || true)
  time=$(awk -v ns=$((t1 - t0)) 'BEGIN { printf "%.1f", ns / 1e9 }')
  if [ "$rc" -eq 0 ]; then
    result=ok
  else
    result=crash
    failed=1
  fi
  printf '%-13s execs %s (%s/s)  time %s s  %s  new corpus entries %d  %s\n' "$target" \
    "${execs:-?}" "${rate:-?}" "$time" "${coverage:-cov: ?}" $((after - before)) "$result"

  if [ "$rc" -ne 0 ]; then
    # What went wrong, and where the input that did it is kept.
    echo "  exit code $rc; log: $log"
    if grep -q '^property violated' "$log"; then
      grep -A3 '^property violated' "$log" | head -n 4 | sed 's/^/  /'
    else
      grep -m 3 -E 'ERROR: |runtime error|^SUMMARY' "$log" | sed 's/^/  /' || true
    fi
    crash_file=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    echo "  crash file: ${crash_file:-none written (see the log)}"
    if [ -n "$crash_file" ]; then echo "  reproduce: $build/$target $crash_file"; fi
  fi
done

echo "fuzz.sh done in $(since "$started") s"
exit "$failed"
