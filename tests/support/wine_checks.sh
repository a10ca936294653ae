# Shared by the shell-driven tests under Wine: source it, run `check`s, end with `checks_done`.
failures=0
check() {  # check DESCRIPTION FILE FIXED-STRING
    if grep -qF -- "$3" "$2"; then
        echo "ok: $1"
    else
        echo "FAIL: $1: no line with \"$3\" in:"; sed 's/^/    /' "$2"; failures=$((failures + 1))
    fi
}
check_line() {  # check_line DESCRIPTION FILE WHOLE-LINE (CR at line ends ignored)
    if tr -d '\r' < "$2" | grep -qxF -- "$3"; then
        echo "ok: $1"
    else
        echo "FAIL: $1: no line \"$3\" in:"; sed 's/^/    /' "$2"; failures=$((failures + 1))
    fi
}
checks_done() {
    [ "$failures" = 0 ] || { echo "$failures checks failed"; exit 1; }
    echo "all checks passed"
}
# The Windows name Wine gives a host path (drive Z: is the root).
windows_path() { local path="${1//\//\\}"; echo "Z:$path"; }
