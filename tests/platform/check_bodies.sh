#!/bin/sh
# Usage: check_bodies.sh COMPILER FLAGS_FILE SOURCE...
# Compiles each source for syntax and types only (warnings are errors). A missing compiler fails:
# it is in the README's package list, and a skip would let Windows code rot unseen again.
compiler=$1
flags=$2
shift 2
if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "$compiler is not installed (package g++-mingw-w64-x86-64-posix)"
    exit 1
fi
count=0
failed=0
for source in "$@"; do
    count=$((count + 1))
    if ! "$compiler" @"$flags" -fsyntax-only "$source"; then
        echo "FAILED: $source"
        failed=$((failed + 1))
    fi
done
echo "$count files compiled for Windows, $failed failed"
[ "$count" -gt 0 ] && [ "$failed" -eq 0 ]
