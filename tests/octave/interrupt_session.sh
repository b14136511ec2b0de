#!/usr/bin/env bash
# Ctrl-C in a real Octave session: one octave-cli reads its commands from a file, and each
# case starts a read that never ends by itself (a FIFO whose writer never stops, /dev/zero),
# gets SIGINT about a second later, and must print its next line within the time limit,
# with as many open file descriptors as before the read and no output assigned. The cases
# run one after another in the same session, so a later case also shows that the session
# went on and that Ctrl-C still works after the earlier ones.
#
#   interrupt_session.sh <octave-cli> <module dir> <data dir>
set -u
octave=$1
module_dir=$2
data_dir=$3
limit=1.0          # seconds from SIGINT to the next line
start_timeout=60   # seconds for Octave to start and begin a read

work=$(mktemp -d)
octave_pid=""
writer_pid=""
cleanup() {
    [ -n "$writer_pid" ] && kill "$writer_pid" 2>/dev/null
    [ -n "$octave_pid" ] && kill -KILL "$octave_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fifo=$work/endless
mkfifo "$fifo"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The first record of an IONEX file, then comment records without end: a header that never
# reaches END OF HEADER, so the +ionex readers' line rules cannot end it.
version_line=$(printf '%-60s%-20s' '     1.0            IONOSPHERE MAPS     GPS' 'IONEX VERSION / TYPE')
comment_line=$(printf '%-60s%-20s' 'a header that never ends' 'COMMENT')

# Each case: the kind of input, the statement that reads it, what it leaves in x (none:
# nothing, for +ionex, which raises ionex:Interrupted; readerror: vornakelstrid_p's
# read-failure result) and the text the session must print for the read's own error (empty:
# nothing to look for).
cases=(
  "fifo-ionex|x = ionex.read('$fifo');|none|the read was interrupted"
  "fifo-ionex|x = ionex.info('$fifo');|none|the read was interrupted"
  "fifo-lines|[x, t] = vornakelstrid_p('$fifo');|readerror|"
  "zero|x = vornakelstrid_p('/dev/zero');|readerror|"
)

# The session's commands: before each case the descriptor count and a marker; after it the
# line whose arrival is timed, with the count and what x holds.
commands=$work/commands.m
{
  echo "addpath('$module_dir');"
  echo "fds = @() numel(readdir('/proc/self/fd'));"
  i=0
  for c in "${cases[@]}"; do
    i=$((i + 1))
    IFS='|' read -r _ statement _ _ <<<"$c"
    echo "clear x t; before = fds(); printf('READING $i\\n'); fflush(stdout); $statement"
    echo "got = 'none'; if exist('x', 'var'), got = 'other'; if iscell(x) && numel(x) == 2 && strcmp(x{2}, 'Vornakelstrid:ReadError'), got = 'readerror'; end, end"
    echo "printf('NEXT $i %d %d %s\\n', before, fds(), got); fflush(stdout);"
  done
  # The session is still healthy: a real file reads as usual.
  echo "m = ionex.read('$data_dir/codg0080.20i.Z'); printf('AFTER %d\\n', numel(m.time)); fflush(stdout);"
} >"$commands"

out=$work/out.txt
"$octave" --no-gui --norc --no-history --quiet --interactive <"$commands" >"$out" 2>&1 &
octave_pid=$!

# Waits until `pattern` appears in the output, at most `centis` hundredths of a second.
# Returns 0 when it did.
wait_for() {
    local pattern=$1 centis=$2
    while ! grep -q -- "$pattern" "$out"; do
        centis=$((centis - 1))
        [ "$centis" -le 0 ] && return 1
        kill -0 "$octave_pid" 2>/dev/null || { grep -q -- "$pattern" "$out"; return; }
        sleep 0.01
    done
}

i=0
for c in "${cases[@]}"; do
    i=$((i + 1))
    IFS='|' read -r kind statement left expect <<<"$c"
    # A writer that never stops; `exec` leaves one process to stop afterwards.
    case $kind in
      fifo-ionex) ( printf '%s\n' "$version_line"; exec yes "$comment_line" ) >"$fifo" 2>/dev/null & writer_pid=$! ;;
      fifo-lines) ( exec yes "endless line" ) >"$fifo" 2>/dev/null & writer_pid=$! ;;
      *) writer_pid="" ;;
    esac
    if ! wait_for "READING $i" $((start_timeout * 100)); then
        fail "$statement: the read did not start"; break
    fi
    sleep 1
    if grep -q "NEXT $i " "$out"; then
        fail "$statement: the read ended by itself"; break
    fi
    t0=$(date +%s%N)
    kill -INT "$octave_pid"
    if wait_for "NEXT $i " 500; then
        t1=$(date +%s%N)
        seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
        read -r _ _ before after got <<<"$(grep -o "NEXT $i .*" "$out")"
        echo "$statement: next line ${seconds} s after SIGINT; descriptors $before before, $after after; x: $got"
        awk -v s="$seconds" -v l="$limit" 'BEGIN { exit !(s <= l) }' || fail "$statement: ${seconds} s > ${limit} s"
        [ "$before" = "$after" ] || fail "$statement: $before descriptors before the read, $after after"
        [ "$got" = "$left" ] || fail "$statement: x is '$got', not '$left'"
        if [ -n "$expect" ] && ! grep -q "$expect" "$out"; then
            fail "$statement: no '$expect' in the session's output"
        fi
    else
        fail "$statement: no next line within 5 s of SIGINT"; break
    fi
    if [ -n "$writer_pid" ]; then
        kill "$writer_pid" 2>/dev/null
        wait "$writer_pid" 2>/dev/null
        writer_pid=""
    fi
done

if wait_for "AFTER " 6000; then
    grep -q "AFTER 25" "$out" || fail "the real file after the interrupts: $(grep -o 'AFTER .*' "$out")"
else
    fail "the session did not go on to read a real file"
fi
wait "$octave_pid"
octave_pid=""
echo "--- session output"
cat "$out"
echo "--- $failures failures"
[ "$failures" = 0 ]
