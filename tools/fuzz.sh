#!/bin/sh
# Builds the libFuzzer targets (clang) into build-fuzz/ (or $FRAMORA_FUZZ_DIR) and runs
# each for $FRAMORA_FUZZ_SECONDS seconds (45 by default) on a copy of its seed corpus in
# fuzz/corpus/<target>/, so the committed corpus never changes. Fails on any crash, leak,
# sanitizer report or broken invariant; the input that caused it is kept in
# <build dir>/findings/<target>/. Names of targets as arguments run only those.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
dir=${FRAMORA_FUZZ_DIR:-build-fuzz}
seconds=${FRAMORA_FUZZ_SECONDS:-45}
targets=${*:-fuzz_config fuzz_langpack fuzz_interval}

launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ $launcher -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DFRAMORA_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
# shellcheck disable=SC2086 # one target per word
cmake --build "$dir" -j"$(nproc)" --target $targets

symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:print_stacktrace=1"
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
if [ -n "$symbolizer" ]; then
    ASAN_OPTIONS="$ASAN_OPTIONS:external_symbolizer_path=$symbolizer"
    UBSAN_OPTIONS="$UBSAN_OPTIONS:external_symbolizer_path=$symbolizer"
fi
export ASAN_OPTIONS UBSAN_OPTIONS
# The targets write their input to a scratch file on every run, and a settings save ends
# in fsync: on a memory file system that costs nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR=/dev/shm
    export TMPDIR
fi

work="$dir/fuzz-work"
status=0
for target in $targets; do
    corpus="$work/$target"
    findings="$dir/findings/$target"
    rm -rf "$corpus"
    mkdir -p "$corpus" "$findings"
    cp "$root/fuzz/corpus/$target/"* "$corpus/"
    echo "== $target: $seconds s"
    # -timeout: one input taking seconds is a finding too (a hang); -rss_limit_mb keeps a
    # runaway allocation from taking the machine down.
    if ! "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
        >"$dir/fuzz-$target.log" 2>&1; then
        status=1
        echo "$target FAILED; input kept in $findings/" >&2
        tail -n 60 "$dir/fuzz-$target.log" >&2
    else
        grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|stat::peak_rss_mb)' \
            "$dir/fuzz-$target.log" || true
    fi
done
exit $status
