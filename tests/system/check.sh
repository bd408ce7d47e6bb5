# check WHAT COMMAND...: runs the command and prints one result line; the
# script ends with exit $((failures > 0)).
failures=0
check() {
    local what=$1
    shift
    if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
