#!/bin/bash
# Which Windows builds `make test` runs the Windows tests on, for every
# combination of Wines a machine may have, with stand-ins for the Wine check
# and for CTest; and the real Wine runner when a Wine is switched off.
# Usage: windows_tests_test.sh REPO-ROOT
ROOT=$1
. "$ROOT/tests/e2e/lib.sh"

SCRIPT=$ROOT/tools/windows_tests.sh
mkdir -p "$E2E_WORK/build-win32" "$E2E_WORK/build-win64"
# Answers --check for the architectures in $RUNNABLE, and gives a reason for the rest.
cat >"$E2E_WORK/wine_run" <<'STUB'
#!/bin/bash
[[ " $RUNNABLE " == *" $2 "* ]] && exit 0
echo "no $2 Wine in this test"
exit 1
STUB
# Notes the folder it ran in, and fails there when told to.
cat >"$E2E_WORK/ctest" <<'STUB'
#!/bin/bash
basename "$PWD" >>"$RAN"
[ "$(basename "$PWD")" != "${FAIL_IN:-}" ]
STUB
chmod +x "$E2E_WORK/wine_run" "$E2E_WORK/ctest"

run() {  # run RUNNABLE [FAIL-IN]: sets OUT, CODE and SUITES (the folders CTest ran in)
  : >"$E2E_WORK/ran"
  OUT=$(cd "$E2E_WORK" && RUNNABLE=$1 FAIL_IN=${2:-} RAN=$E2E_WORK/ran WINE_RUN=$E2E_WORK/wine_run \
        CTEST=$E2E_WORK/ctest "$SCRIPT" build-win32 build-win64 2>&1)
  CODE=$?
  SUITES=$(tr '\n' ' ' <"$E2E_WORK/ran")
}

run "win32 win64"
check "both Wines: both builds are tested, the shipped one first" test "$SUITES" = "build-win32 build-win64 "
check "both Wines: each suite says which build it is" \
  test "$(grep -c '^Windows tests: the \(32\|64\)-bit build' <<<"$OUT")" -eq 2
check "both Wines: success" test "$CODE" -eq 0

run "win64"
check "64-bit Wine only: the 64-bit build is tested" test "$SUITES" = "build-win64 "
check "64-bit Wine only: says so, and why the 32-bit build is not" \
  grep -q '^Windows tests: the 64-bit build (build-win64/cdstart.exe) under 64-bit Wine; not run on the other build (32-bit: no win32 Wine in this test)' <<<"$OUT"
check "64-bit Wine only: nothing is reported as skipped" eval '! grep -q SKIPPED <<<"$OUT"'

run "win32"
check "32-bit Wine only: the 32-bit build is tested" test "$SUITES" = "build-win32 "

run ""
check "no Wine: no suite runs" test -z "$SUITES"
check "no Wine: one SKIPPED line with both reasons" \
  grep -qx 'SKIPPED: Windows tests (no Wine can run here; 32-bit: no win32 Wine in this test; 64-bit: no win64 Wine in this test)' <<<"$OUT"
check "no Wine: not a failure" test "$CODE" -eq 0

run "win32 win64" build-win32
check "a failing suite fails the run" test "$CODE" -ne 0
check "a failing suite does not keep the other one from running" test "$SUITES" = "build-win32 build-win64 "

# The real runner, with both Wines switched off: no Wine is even looked for.
OUT=$(cd "$E2E_WORK" && CDSTART_WINE_UNAVAILABLE="win32 win64" "$SCRIPT" build-win32 build-win64 2>&1)
check "switched off: the real runner reports the Windows tests as skipped" \
  grep -qx 'SKIPPED: Windows tests (no Wine can run here; 32-bit: 32-bit Wine is switched off by CDSTART_WINE_UNAVAILABLE; 64-bit: 64-bit Wine is switched off by CDSTART_WINE_UNAVAILABLE)' <<<"$OUT"

# The runner picks the Wine from the program's own header: the machine field
# after the "PE" signature that offset 0x3c points to.
pe_file() {  # pe_file PATH MACHINE-BYTES (little-endian, as printf escapes)
  { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00'"$2"; } >"$1"
}
pe_file "$E2E_WORK/x86.exe" '\x4c\x01'
pe_file "$E2E_WORK/x64.exe" '\x64\x86'
for case in "x86.exe|32" "x64.exe|64"; do
  OUT=$(CDSTART_WINE_UNAVAILABLE="win32 win64" "$ROOT/tools/wine_run.sh" --prefix "$E2E_WORK/prefix" \
        "$E2E_WORK/${case%|*}" 2>&1)
  check "a ${case#*|}-bit program is meant for ${case#*|}-bit Wine" \
    grep -q "${case#*|}-bit Wine is switched off" <<<"$OUT"
done
head -c 100 /dev/zero >"$E2E_WORK/none.exe"
OUT=$("$ROOT/tools/wine_run.sh" --prefix "$E2E_WORK/prefix" "$E2E_WORK/none.exe" 2>&1)
check "a file that is no Windows program is refused with a word on why" \
  grep -q 'say --arch win32 or win64' <<<"$OUT"

finish
