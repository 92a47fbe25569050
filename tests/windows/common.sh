# What the Windows tests' scripts share: a line for each check, and waits
# for what is seen, never for a fixed time. Sourced by each.
passed=0 failed=0
# check STATUS WHAT: STATUS 0 passes.
check() {
  if [ "$1" = 0 ]; then echo "ok: $2"; passed=$((passed + 1)); else echo "FAILED: $2"; failed=$((failed + 1)); fi
}
# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds, for at most
# SECONDS.
wait_for() {
  local seconds=$1; shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}
# The program's window, once it shows (in $window).
window=""
find_window() { window=$(xdotool search --name '^Quillmoor$' 2>/dev/null | head -1); [ -n "$window" ]; }
# The last line: how many passed and failed; and the exit status.
summary() {
  echo "$passed passed, $failed failed"
  [ $failed = 0 ]
}
