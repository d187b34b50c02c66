#!/usr/bin/env bash
# Runs fuzz targets for a given time each:
#   fuzz/run.sh all 30            every target, 30 seconds each, one after the other
#   fuzz/run.sh xml_reader 900    one target
# Builds build-fuzz/ (clang) first. New corpus entries go to build-fuzz/corpus/<target>/, never
# into the committed seeds; crashes go to build-fuzz/findings/<target>/ and fail the run.
# Each target's final statistics are appended to build-fuzz/stats/<target>.log.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(equation_text call_text xml_reader mega_archive profile_table registry_file)
which=${1:-}
seconds=${2:-}
if [ -z "$which" ] || [ -z "$seconds" ]; then
  echo "usage: $0 TARGET|all SECONDS   (targets: ${targets[*]})" >&2
  exit 2
fi
if [ "$which" != all ]; then
  case " ${targets[*]} " in
    *" $which "*) targets=("$which") ;;
    *) echo "unknown target: $which (targets: ${targets[*]})" >&2; exit 2 ;;
  esac
fi

build=${COGNEXA_FUZZ_BUILD:-build-fuzz}
if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# Parallel runs over one build directory set COGNEXA_FUZZ_NO_BUILD=1 after building once.
if [ -z "${COGNEXA_FUZZ_NO_BUILD:-}" ]; then
  cmake --build "$build" -j "${COGNEXA_FUZZ_JOBS:-2}" >/dev/null
fi

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings" "$build/stats"
  echo "== $target: $seconds s"
  # -rss_limit_mb and -malloc_limit_mb catch an input that makes a reader allocate what the file
  # claims instead of what it holds; -timeout catches hangs.
  if ! "$build/fuzz_$target" "$corpus" "fuzz/corpus/$target" \
      -dict="fuzz/dict/$target.dict" -max_total_time="$seconds" -timeout=10 \
      -rss_limit_mb=2048 -malloc_limit_mb=512 -max_len=65536 -len_control=200 \
      -artifact_prefix="$findings/" -print_final_stats=1 \
      >"$build/stats/$target.last.log" 2>&1; then
    echo "!! $target found a problem; see $build/stats/$target.last.log and $findings/" >&2
    status=1
  fi
  {
    echo "== $(date -u +%FT%TZ) $target $seconds s"
    grep -E '^(stat::|#[0-9]+[[:space:]]+DONE)' "$build/stats/$target.last.log" || true
  } >>"$build/stats/$target.log"
  grep -E '^#[0-9]+[[:space:]]+DONE' "$build/stats/$target.last.log" || tail -n 3 "$build/stats/$target.last.log"
done
exit $status
