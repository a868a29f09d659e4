# Sourced by the end-to-end scripts (bash). wait_until COMMAND...: runs COMMAND until it succeeds,
# so that a script waits for a state (a file written, a port printed, a log line) instead of for a
# time. Gives 1 after WAIT_BOUND_S seconds (30 by default): a bound that only ends a hang.
wait_until() {
  local end=$((SECONDS + ${WAIT_BOUND_S:-30}))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.05
  done
}
