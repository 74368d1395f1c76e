#!/bin/sh
# Runs the demo host and checks its exit status and a line of its output.
#   check_demo.sh <status> <expected text> <libquor.so> <URL> [<emulator>...] <quor-demo>
expected_status=$1 expected_text=$2 library=$3 url=$4
shift 4
output=$("$@" --library "$library" "$url" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -ne "$expected_status" ]; then
    echo "check_demo: exit status $status, expected $expected_status" >&2
    exit 1
fi
if ! printf '%s\n' "$output" | grep -qF -- "$expected_text"; then
    echo "check_demo: no line with: $expected_text" >&2
    exit 1
fi
