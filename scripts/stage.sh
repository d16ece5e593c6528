#!/usr/bin/env bash
# usage: stage.sh NAME COMMAND [ARG...]
# Runs COMMAND and then says how long it took, so that `make test` shows
# where a clean check spends its time (configure, build, tests, and the
# sanitizer step's own stages). The command's status is kept.
name=$1
shift
start=$(date +%s%N)
"$@"
status=$?
end=$(date +%s%N)
# On standard error, so that a stage whose output is thrown away (the
# configure step's) still says how long it took.
printf '== %s: %d.%d s\n' "$name" $(((end - start) / 1000000000)) $(((end - start) / 100000000 % 10)) >&2
exit $status
