#!/bin/sh
# Builds Framora's tests a second time with AddressSanitizer and UndefinedBehaviorSanitizer
# into build-asan/ (or $FRAMORA_ASAN_DIR) and runs them all through CTest, the real-engine
# tests included. End-to-end tests and benchmarks are left out.
# Extra arguments go to ctest (e.g. -R tst_config).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
dir=${FRAMORA_ASAN_DIR:-build-asan}

launcher=
command -v ccache >/dev/null 2>&1 && launcher=-DCMAKE_CXX_COMPILER_LAUNCHER=ccache
# clang, as for the fuzzers: its sanitizer runtime is linked into each test statically,
# which the preloaded library below relies on. -O1 keeps the stacks readable and the
# build quick; asserts stay on (no NDEBUG).
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ $launcher \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
    -DFRAMORA_SANITIZE=ON -DBUILD_TESTING=ON >/dev/null

# Only what the tests need: their programs (and what those depend on) and the files of
# the application folder. The executable itself is not built.
excluded_labels='e2e|bench'
excluded_names='bench'
tests=$(ctest --test-dir "$dir" -N -LE "$excluded_labels" -E "$excluded_names" |
    sed -n 's/^ *Test *#[0-9]*: *//p')
targets=$(ninja -C "$dir" -t targets all | sed -n 's/^\([A-Za-z0-9_.+-]*\): phony$/\1/p')
build=framora_runtime_files
for test in $tests; do
    if printf '%s\n' "$targets" | grep -qx "$test"; then
        build="$build $test"
    fi
done
# shellcheck disable=SC2086 # one target per word
cmake --build "$dir" -j"$(nproc)" --target $build

symbolizer=$(command -v llvm-symbolizer || command -v llvm-symbolizer-14 || true)
# Every error stops its test with a stack; leaks are errors too, except what
# tools/lsan.supp and tools/asan.supp list (third-party code only).
ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:print_stacktrace=1"
ASAN_OPTIONS="$ASAN_OPTIONS:check_initialization_order=1:strict_init_order=1"
ASAN_OPTIONS="$ASAN_OPTIONS:detect_stack_use_after_return=1:strict_string_checks=1"
ASAN_OPTIONS="$ASAN_OPTIONS:suppressions=$root/tools/asan.supp"
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:report_error_type=1"
LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
if [ -n "$symbolizer" ]; then
    ASAN_OPTIONS="$ASAN_OPTIONS:external_symbolizer_path=$symbolizer"
    UBSAN_OPTIONS="$UBSAN_OPTIONS:external_symbolizer_path=$symbolizer"
fi
export ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

# Libraries stay loaded to the end (see tools/keep-libraries-loaded.c), so that what
# libVLC's plugins allocate at load time is not taken for a leak when VLC unloads them.
keep_loaded=$(cd "$dir" && pwd)/keep-libraries-loaded.so
${CC:-cc} -shared -fPIC -O1 -o "$keep_loaded" tools/keep-libraries-loaded.c
LD_PRELOAD=$keep_loaded
export LD_PRELOAD

ctest --test-dir "$dir" --output-on-failure -j"$(nproc)" \
    -LE "$excluded_labels" -E "$excluded_names" "$@"
