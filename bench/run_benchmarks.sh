#!/usr/bin/env bash
# Builds the benchmarks (Release, in build-bench), runs the whole suite and prints the ratio
# table. The launcher part runs in a virtual X server and is skipped when xvfb-run or the
# launcher is missing.
#   bench/run_benchmarks.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-bench}
results=$build_dir/bench-results
mkdir -p "$results"

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCOGNEXA_BUILD_BENCHMARKS=ON >/dev/null
targets=(cognexa_bench cognexa_evaluation_bench cognexa_frame_bench cognexa_xml_bench)
if [ -f "$build_dir/launcher/build.ninja" ] || grep -q '^build launcher/vestibar:' "$build_dir/build.ninja"; then
  targets+=(vestibar bare_webkit_window)
fi
cmake --build "$build_dir" -j 2 --target "${targets[@]}" >&2

echo "Running the library benchmarks (a few minutes)..." >&2
"$build_dir/bench/cognexa_bench" --benchmark_min_time=0.5 \
  --benchmark_out="$results/library.json" --benchmark_out_format=json >&2
echo "Running the evaluation benchmarks through the shared library (about a minute)..." >&2
"$build_dir/bench/cognexa_evaluation_bench" --benchmark_min_time=0.5 \
  --benchmark_out="$results/evaluation.json" --benchmark_out_format=json >&2
echo "Running the frame benchmark through the shared library (about a minute)..." >&2
# libgomp's idle threads spin for milliseconds after each of muparser's parallel evaluations by
# default, taking a core from the engines timed next; a short spin keeps back-to-back calls warm.
GOMP_SPINCOUNT=10000 "$build_dir/bench/cognexa_frame_bench" --benchmark_out="$results/frame.json" --benchmark_out_format=json >&2
echo "Running the XML benchmarks (about a minute)..." >&2
"$build_dir/bench/cognexa_xml_bench" --benchmark_out="$results/xml.json" --benchmark_out_format=json >&2

launcher_json=()
if [ -x "$build_dir/launcher/vestibar" ] && [ -x "$build_dir/bench/bare_webkit_window" ] && command -v xvfb-run >/dev/null; then
  echo "Running the launcher benchmark..." >&2
  xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/launcher_bench.py "$build_dir/launcher/vestibar" \
    "$build_dir/bench/bare_webkit_window" launcher/pages/INSTALL.HTM >"$results/launcher.json"
  launcher_json=("$results/launcher.json")
else
  echo "Launcher benchmark skipped: needs the launcher build and xvfb-run." >&2
fi

python3 bench/ratio_table.py "$results/library.json" "$results/evaluation.json" "$results/frame.json" \
  "${launcher_json[@]}" | tee "$results/table.md"
