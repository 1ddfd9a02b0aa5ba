#!/bin/sh
# Configures and builds the fuzzers as a separate clang project; exit 77 (skipped) without clang
# or libFuzzer.
set -eu
src=$1
build=$2
CXX=${QPA_FUZZ_CXX:-clang++}
if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "SKIP: $CXX is not installed"
    exit 77
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }\n' > "$probe/p.cpp"
if ! "$CXX" -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
    echo "SKIP: $CXX cannot link libFuzzer with ASan/UBSan (libclang-rt-dev missing?)"
    exit 77
fi
generator=
command -v ninja >/dev/null 2>&1 && generator="-G Ninja"
launcher=
command -v ccache >/dev/null 2>&1 && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
cmake -S "$src" -B "$build" $generator $launcher -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_BUILD_TYPE=Debug
cmake --build "$build"
